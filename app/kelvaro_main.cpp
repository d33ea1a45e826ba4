#include "window/qt/kelvaro_application.h"

int main(int argc, char** argv) {
    return kelvaro::qt::RunKelvaro(argc, argv);
}

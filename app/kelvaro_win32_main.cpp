#include <windows.h>

#include "window/win32/kelvaro_application.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    return kelvaro::win32::RunKelvaro(instance, showCommand);
}

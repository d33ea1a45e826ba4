// In place of libstdc++'s verbose terminate handler, which prints the type of
// the uncaught exception with its demangler: a window program has no console
// to print to, and the demangler would be most of the C++ runtime it carries.
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler();

void __verbose_terminate_handler() {
    std::abort();
}

}  // namespace __gnu_cxx

// libstdc++'s default terminate handler prints the type of an uncaught
// exception, and for that links its whole C++ demangler (46 KB) into every
// program. Ours catch every exception at their entry points and window
// procedures, so a plain abort says all there is to say.
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx

// The installer ends an unexpected exception as any other fault: at once, with no message to a
// console it does not have. This takes the place of the C++ library's handler, which would print
// the exception's type and so pull the library's name demangler (37 KB) into every installer.

#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler() {
  std::abort();
}

}  // namespace __gnu_cxx

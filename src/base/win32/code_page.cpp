#include <windows.h>

#include "base/code_page.h"

namespace base {

bool IsLeadByte(unsigned char byte) {
  return ::IsDBCSLeadByte(byte) != 0;
}

}  // namespace base

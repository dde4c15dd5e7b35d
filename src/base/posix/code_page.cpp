#include "base/posix/code_page.h"

#include "base/code_page.h"

namespace base {
namespace {

unsigned g_code_page = 1252;

}  // namespace

void SetAnsiCodePage(unsigned code_page) {
  g_code_page = code_page;
}

bool IsLeadByte(unsigned char byte) {
  switch (g_code_page) {
    case 932:  // Shift-JIS
      return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case 936:
    case 949:
    case 950:
      return byte >= 0x81 && byte <= 0xFE;
    default:
      return false;
  }
}

}  // namespace base

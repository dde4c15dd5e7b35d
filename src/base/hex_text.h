#pragma once

#include <string>

namespace base {

// value in upper-case hexadecimal without leading zeros ("0" for zero).
inline std::string HexText(unsigned value) {
  std::string text;
  do {
    text.insert(text.begin(), "0123456789ABCDEF"[value % 16]);
    value /= 16;
  } while (value != 0);
  return text;
}

}  // namespace base

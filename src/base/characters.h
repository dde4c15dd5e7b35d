#pragma once

#include <cstddef>
#include <string_view>

#include "base/code_page.h"

// Walking ANSI text by characters of the active code page, so that the trail byte of a
// double-byte character is never taken for a separator, a quote or any other single character.
namespace base {

// 2 when a lead byte starts a double-byte character at i, else 1. A lead byte in the last
// position is a character of its own. No code page has a lead byte below 0x81, so ASCII text is
// walked without asking the code page.
inline std::size_t CharacterWidth(std::string_view text, std::size_t i) {
  const auto byte = static_cast<unsigned char>(text[i]);
  return byte > 0x80 && IsLeadByte(byte) && i + 1 < text.size() ? 2 : 1;
}

// Calls visit with the start of every character of text.
template <typename Visit>
void ForEachCharacter(std::string_view text, Visit visit) {
  for (std::size_t i = 0; i < text.size(); i += CharacterWidth(text, i))
    visit(i);
}

// True when the last character of text is c as a character of its own.
inline bool EndsWithCharacter(std::string_view text, char c) {
  std::size_t last = std::string_view::npos;
  ForEachCharacter(text, [&](std::size_t i) { last = i; });
  return last != std::string_view::npos && last == text.size() - 1 && text[last] == c;
}

}  // namespace base

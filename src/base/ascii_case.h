#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace base {

// Names in the package and on disk are compared as the runtime's case-blind comparison does: byte
// by byte, folding only the ASCII letters.
inline char FoldAsciiCase(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

// text with its ASCII letters folded, for keys compared without regard to case.
inline std::string FoldedAsciiCase(std::string_view text) {
  std::string folded(text);
  for (char& c : folded)
    c = FoldAsciiCase(c);
  return folded;
}

inline bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldAsciiCase(a[i]) != FoldAsciiCase(b[i]))
      return false;
  }
  return true;
}

inline bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         EqualsIgnoringCase(text.substr(text.size() - suffix.size()), suffix);
}

}  // namespace base

#include "text_format.h"

#include <cstdio>

namespace omnipack {

std::string TimeText(const package::TimeStamp& time) {
  if (!time.IsSet())
    return {};
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u %02u:%02u:%02u", 1900 + time.year, time.month,
                time.day, time.hour, time.minute, time.second);
  return text;
}

std::string HexText(std::uint32_t value) {
  char text[12];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(value));
  return text;
}

std::uint32_t ExcludedGroups(std::uint32_t flags) {
  return (flags >> 1) & 0x7u;
}

std::string FlagsText(std::uint32_t flags) {
  std::string text;
  if (flags & package::kNtOnlyFlag)
    text = "nt-only";
  if (const std::uint32_t groups = ExcludedGroups(flags)) {
    if (!text.empty())
      text += ", ";
    text += "excluded groups " + std::to_string(groups);
  }
  return text.empty() ? "none" : text;
}

}  // namespace omnipack

#pragma once

// How list and verify write the package's values.

#include <cstdint>
#include <string>

#include "package/format.h"

namespace omnipack {

// "2024-03-05 14:07:09"; empty when the stamp is all zero.
std::string TimeText(const package::TimeStamp& time);
// Eight upper-case hexadecimal digits.
std::string HexText(std::uint32_t value);
// "nt-only, excluded groups 5" or "none".
std::string FlagsText(std::uint32_t flags);
std::uint32_t ExcludedGroups(std::uint32_t flags);

}  // namespace omnipack

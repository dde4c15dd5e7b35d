#pragma once

#include <cstdint>
#include <string_view>

// How long WAITFORTIME waits. The count is bounded: a script that asks for days (or for
// 4294967295, which the system's sleep takes as no time-out at all) would hang an installation
// that runs silently, with no one to end it.
namespace script {

// Five minutes.
inline constexpr std::uint32_t kLongestWaitMilliseconds = 5 * 60 * 1000;

struct WaitTime {
  std::uint32_t milliseconds = 0;
  bool cut = false;  // the text asked for more than kLongestWaitMilliseconds
};

// The text read as a decimal count of milliseconds: leading blanks skipped, an optional sign, then
// digits (none: 0). A negative count is 0; a count above the bound is the bound.
WaitTime WaitTimeOf(std::string_view text);

}  // namespace script

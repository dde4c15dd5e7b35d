#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// The family of the running system, by its platform id.
enum class SystemFamily { kNine, kNt, kOther };
SystemFamily RunningFamily();

// True on the NT family; false on the 9x family.
inline bool IsNtFamily() {
  return RunningFamily() == SystemFamily::kNt;
}

// The path of the running program (at most 259 characters); empty when the system cannot say.
std::string OwnProgramPath();

// Seconds since 1970-01-01 UTC.
std::int64_t CurrentTime();

// A broken-down local time with the runtime library's field conventions.
struct LocalTime {
  int year = 0;   // years since 1900
  int month = 0;  // 0-11
  int day = 0;    // 1-31
  int hour = 0;
  int minute = 0;
  int second = 0;
};
// Local time to seconds since the epoch, daylight saving decided by the system.
std::optional<std::int64_t> FromLocalTime(const LocalTime& local);
std::optional<LocalTime> ToLocalTime(std::int64_t time);

}  // namespace platform

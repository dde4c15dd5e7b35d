// Time through the C runtime, the same on every platform but for the name of its thread-safe
// local-time conversion.

#include <ctime>

#include "platform/system.h"

namespace platform {

std::int64_t CurrentTime() {
  return static_cast<std::int64_t>(std::time(nullptr));
}

// Daylight saving is left for mktime to decide.
std::optional<std::int64_t> FromLocalTime(const LocalTime& local) {
  std::tm fields{};
  fields.tm_year = local.year;
  fields.tm_mon = local.month;
  fields.tm_mday = local.day;
  fields.tm_hour = local.hour;
  fields.tm_min = local.minute;
  fields.tm_sec = local.second;
  fields.tm_isdst = -1;
  const std::time_t time = std::mktime(&fields);
  if (time == static_cast<std::time_t>(-1))
    return std::nullopt;
  return static_cast<std::int64_t>(time);
}

std::optional<LocalTime> ToLocalTime(std::int64_t time) {
  const auto seconds = static_cast<std::time_t>(time);
  std::tm fields{};
#ifdef _WIN32
  if (::localtime_s(&fields, &seconds) != 0)
    return std::nullopt;
#else
  if (::localtime_r(&seconds, &fields) == nullptr)
    return std::nullopt;
#endif
  return LocalTime{fields.tm_year, fields.tm_mon, fields.tm_mday,
                   fields.tm_hour, fields.tm_min, fields.tm_sec};
}

}  // namespace platform

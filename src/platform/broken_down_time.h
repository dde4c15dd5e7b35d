#pragma once

// Conversions between LocalTime and the runtime library's broken-down time, shared by the
// platform implementations.

#include <ctime>
#include <optional>

#include "platform/system.h"

namespace platform {

// Daylight saving is left for mktime to decide.
inline std::tm ToBrokenDownTime(const LocalTime& local) {
  std::tm fields{};
  fields.tm_year = local.year;
  fields.tm_mon = local.month;
  fields.tm_mday = local.day;
  fields.tm_hour = local.hour;
  fields.tm_min = local.minute;
  fields.tm_sec = local.second;
  fields.tm_isdst = -1;
  return fields;
}

inline LocalTime FromBrokenDownTime(const std::tm& fields) {
  return LocalTime{fields.tm_year, fields.tm_mon, fields.tm_mday,
                   fields.tm_hour, fields.tm_min, fields.tm_sec};
}

inline std::optional<std::int64_t> MakeTime(const LocalTime& local) {
  std::tm fields = ToBrokenDownTime(local);
  const std::time_t time = std::mktime(&fields);
  if (time == static_cast<std::time_t>(-1))
    return std::nullopt;
  return static_cast<std::int64_t>(time);
}

}  // namespace platform

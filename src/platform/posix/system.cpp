#include "platform/system.h"

#include <ctime>

namespace platform {

bool IsNtFamily() {
  return true;
}

std::int64_t CurrentTime() {
  return static_cast<std::int64_t>(std::time(nullptr));
}

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
  if (localtime_r(&seconds, &fields) == nullptr)
    return std::nullopt;
  return LocalTime{fields.tm_year, fields.tm_mon, fields.tm_mday,
                   fields.tm_hour, fields.tm_min, fields.tm_sec};
}

}  // namespace platform

#include "package/file_time.h"

#include <cstdint>
#include <optional>

#include "platform/filesystem.h"
#include "platform/system.h"

namespace package {

bool SetFileTimeStamp(const std::string& path, const TimeStamp& time) {
  std::int64_t when = platform::CurrentTime();
  if (time.IsSet()) {
    platform::LocalTime local;
    local.year = time.year;
    local.month = time.month - 1;
    local.day = time.day;
    local.hour = time.hour;
    local.minute = time.minute;
    local.second = time.second;
    const std::optional<std::int64_t> converted = platform::FromLocalTime(local);
    if (!converted)
      return false;
    when = *converted;
  }
  return platform::SetFileTimes(path, when);
}

bool GetFileTimeStamp(const std::string& path, TimeStamp& time) {
  time = TimeStamp{};
  const std::optional<std::int64_t> modified = platform::FileModificationTime(path);
  if (!modified)
    return false;
  const std::optional<platform::LocalTime> local = platform::ToLocalTime(*modified);
  if (!local)
    return false;
  time.hour = static_cast<std::uint8_t>(local->hour);
  time.minute = static_cast<std::uint8_t>(local->minute);
  time.second = static_cast<std::uint8_t>(local->second);
  time.year = static_cast<std::uint8_t>(local->year);
  time.month = static_cast<std::uint8_t>(local->month + 1);
  time.day = static_cast<std::uint8_t>(local->day);
  return true;
}

}  // namespace package

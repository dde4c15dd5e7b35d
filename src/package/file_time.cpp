#include "package/file_time.h"

#include <cstdint>
#include <optional>

#include "platform/filesystem.h"
#include "platform/system.h"

namespace package {
namespace {

// The time a stamp stands for; the current time for one that is all zero.
std::optional<std::int64_t> StampTime(const TimeStamp& time) {
  if (!time.IsSet())
    return platform::CurrentTime();
  platform::LocalTime local;
  local.year = time.year;
  local.month = time.month - 1;
  local.day = time.day;
  local.hour = time.hour;
  local.minute = time.minute;
  local.second = time.second;
  return platform::FromLocalTime(local);
}

bool ToStamp(std::optional<std::int64_t> modified, TimeStamp& time) {
  time = TimeStamp{};
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

}  // namespace

bool SetFileTimeStamp(const std::string& path, const TimeStamp& time) {
  const std::optional<std::int64_t> when = StampTime(time);
  return when && platform::SetFileTimes(path, *when);
}

bool SetFileTimeStamp(platform::File& file, const TimeStamp& time) {
  const std::optional<std::int64_t> when = StampTime(time);
  return when && file.SetTimes(*when);
}

bool GetFileTimeStamp(const std::string& path, TimeStamp& time) {
  return ToStamp(platform::FileModificationTime(path), time);
}

}  // namespace package

#include "platform/system.h"

#include <ctime>

#include "platform/broken_down_time.h"

namespace platform {

bool IsNtFamily() {
  return true;
}

std::int64_t CurrentTime() {
  return static_cast<std::int64_t>(std::time(nullptr));
}

std::optional<std::int64_t> FromLocalTime(const LocalTime& local) {
  return MakeTime(local);
}

std::optional<LocalTime> ToLocalTime(std::int64_t time) {
  const auto seconds = static_cast<std::time_t>(time);
  std::tm fields{};
  if (::localtime_r(&seconds, &fields) == nullptr)
    return std::nullopt;
  return FromBrokenDownTime(fields);
}

}  // namespace platform

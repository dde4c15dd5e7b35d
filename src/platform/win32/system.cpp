#include <windows.h>

#include <ctime>

#include "platform/broken_down_time.h"
#include "platform/system.h"

namespace platform {

bool IsLeadByte(unsigned char byte) {
  return ::IsDBCSLeadByte(byte) != 0;
}

bool IsNtFamily() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  return ::GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
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
  if (::localtime_s(&fields, &seconds) != 0)
    return std::nullopt;
  return FromBrokenDownTime(fields);
}

}  // namespace platform

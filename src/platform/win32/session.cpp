#include <windows.h>

#include "platform/session.h"

namespace platform {
namespace {

// The system's formats fill at most a few dozen characters; a longer result is refused.
constexpr int kFormatCapacity = 80;

std::optional<std::string> LookUpUserName() {
  char buffer[257];  // the longest account name and its zero
  DWORD size = sizeof buffer;
  if (!::GetUserNameA(buffer, &size))
    return std::nullopt;
  return std::string(buffer);
}

std::optional<std::string> LookUpComputerName() {
  char buffer[17];
  DWORD size = sizeof buffer;
  if (!::GetComputerNameA(buffer, &size))
    return std::nullopt;
  return std::string(buffer);
}

}  // namespace

// Neither changes while the installer runs; every log line asks, so each is looked up once.
std::optional<std::string> UserName() {
  static const std::optional<std::string> name = LookUpUserName();
  return name;
}

std::optional<std::string> ComputerName() {
  static const std::optional<std::string> name = LookUpComputerName();
  return name;
}

std::optional<std::string> CurrentDateText() {
  char buffer[kFormatCapacity];
  if (::GetDateFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, buffer, sizeof buffer) == 0)
    return std::nullopt;
  return std::string(buffer);
}

std::optional<std::string> CurrentTimeText() {
  char buffer[kFormatCapacity];
  if (::GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, nullptr, nullptr, buffer,
                       sizeof buffer) == 0) {
    return std::nullopt;
  }
  return std::string(buffer);
}

}  // namespace platform

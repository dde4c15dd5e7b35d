#include "platform/win32/system_info.h"

namespace platform {
namespace {

// A folder as one of the system's folder calls gives it: the length, or 0 when it has none, or
// the size it would need when the buffer is too small.
template <typename Call>
std::string SystemFolder(Call call) {
  char buffer[MAX_PATH + 1];
  const UINT length = call(buffer, sizeof buffer);
  return length == 0 || length >= sizeof buffer ? std::string() : std::string(buffer, length);
}

}  // namespace

std::string WindowsDirectory() {
  return SystemFolder(::GetWindowsDirectoryA);
}

std::string SystemDirectory() {
  return SystemFolder(::GetSystemDirectoryA);
}

std::optional<OSVERSIONINFOA> SystemVersion() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (!::GetVersionExA(&version))
    return std::nullopt;
  return version;
}

}  // namespace platform

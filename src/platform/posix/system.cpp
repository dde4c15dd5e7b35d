#include "platform/system.h"

#include <unistd.h>

#include <climits>

namespace platform {

SystemFamily RunningFamily() {
  return SystemFamily::kNt;
}

std::string OwnProgramPath() {
  char path[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path);
  return length <= 0 || length >= 260 ? std::string() : std::string(path, length);
}

}  // namespace platform

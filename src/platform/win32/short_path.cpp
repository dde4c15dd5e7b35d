#include <windows.h>

#include "platform/short_path.h"

namespace platform {

std::string ShortPathName(const std::string& path) {
  char buffer[MAX_PATH + 1];
  const DWORD length = ::GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
  if (length == 0 || length >= sizeof buffer)
    return path;
  return std::string(buffer, length);
}

}  // namespace platform

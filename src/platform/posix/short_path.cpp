#include "platform/short_path.h"

namespace platform {

// The host's file systems have no short names.
std::string ShortPathName(const std::string& path) {
  return path;
}

}  // namespace platform

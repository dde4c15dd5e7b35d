#pragma once

#include <string>

namespace platform {

// The installer's paths use "\"; the host's calls want "/".
inline std::string NativePath(std::string path) {
  for (char& c : path) {
    if (c == '\\')
      c = '/';
  }
  return path;
}

}  // namespace platform

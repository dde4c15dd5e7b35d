#pragma once

#include <string>

namespace platform {

// The short (8.3) form of the path of an existing file or folder, at most 260 characters; the path
// unchanged when the system cannot produce one.
std::string ShortPathName(const std::string& path);

}  // namespace platform

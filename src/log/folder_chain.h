#pragma once

#include <string>

namespace logging {

// Creates every folder of path that does not exist yet (a drive root is never created); true when
// path names an existing folder afterwards.
bool MakeFolderChain(const std::string& path);

// True when path names an existing file, or when its folders and an empty file could be created.
bool EnsureFileCreatable(const std::string& path);

}  // namespace logging

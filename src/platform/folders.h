#pragma once

#include <string>
#include <string_view>

// Questions about folders on disk and the making of a path's folders, on top of the file system
// calls of each target.
namespace platform {

// True when path names an existing folder, or is a bare drive ("C:", "C:\").
bool IsExistingDirectory(const std::string& path);

// Creates every folder named along path: for each "\" or "/" (a character of its own) after the
// root, the path up to it. Failures are ignored; they show when the path is used.
void CreateFoldersAlong(std::string_view path);

}  // namespace platform

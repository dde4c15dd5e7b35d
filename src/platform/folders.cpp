#include "platform/folders.h"

#include "base/characters.h"
#include "base/path.h"
#include "platform/filesystem.h"

namespace platform {
namespace {

// A separator at a byte index up to this one belongs to a root: "C:\" or the "\\" of a network
// path.
constexpr std::size_t kLastRootSeparatorIndex = 3;

}  // namespace

bool IsExistingDirectory(const std::string& path) {
  if (const auto bits = AttributeBits(path))
    return (*bits & kAttrFolder) != 0;
  if (path.size() != 2 && path.size() != 3)
    return false;
  const char first = path[0];
  return (path[1] == ':' && first >= 'a' && first <= 'z') || (first >= 'A' && first <= 'Z');
}

void CreateFoldersAlong(std::string_view path) {
  base::ForEachCharacter(path, [&](std::size_t i) {
    if ((path[i] == '\\' || path[i] == '/') && i > kLastRootSeparatorIndex)
      CreateFolder(std::string(path.substr(0, i)));
  });
}

}  // namespace platform

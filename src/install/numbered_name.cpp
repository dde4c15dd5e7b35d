#include "install/numbered_name.h"

#include "base/path.h"
#include "platform/filesystem.h"

namespace install {

std::optional<std::string> NumberedFreeName(const std::string& path) {
  // A "." is never the trail byte of a double-byte character, so the last one in the file name
  // starts the extension.
  std::string name = base::FileNameOf(path);
  if (name.empty())
    name = path;
  const std::size_t dot = name.rfind('.');
  const std::string stem =
      dot == std::string::npos ? path : path.substr(0, path.size() - (name.size() - dot));
  for (unsigned n = 1; n <= kLastNumberedName; ++n) {
    std::string candidate = stem + "." + std::to_string(n);
    if (!platform::IsFile(candidate))
      return candidate;
  }
  return std::nullopt;
}

}  // namespace install

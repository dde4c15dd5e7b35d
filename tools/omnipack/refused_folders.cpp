#include "refused_folders.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "base/ascii_case.h"
#include "base/path.h"

namespace omnipack {
namespace {

// A full path: its drive ("C:") or share ("\\server\share", or "\\server" alone) and the folders
// below it.
struct FullPath {
  std::string root;
  std::vector<std::string> folders;
};

// The path as the system makes it full: "/" read as "\", empty and "." parts dropped, ".." taking
// away the folder before it but never the root. None for a path that depends on a current folder
// or a work directory, for a share without a server, and for a path in the device namespace
// ("\\?\", "\\.\"): the text alone does not tell how the system resolves these.
std::optional<FullPath> MadeFull(std::string_view path) {
  if (!base::IsAbsolutePath(path))
    return std::nullopt;
  std::string text(path);
  for (char& c : text) {
    if (c == '/')
      c = '\\';
  }
  FullPath full;
  std::size_t rest = 0;
  if (text[1] == ':') {
    full.root = text.substr(0, 2);
    rest = 3;
  } else {
    if (text.size() == 2 || text[2] == '\\' ||
        (text.size() >= 4 && (text[2] == '?' || text[2] == '.') && text[3] == '\\'))
      return std::nullopt;
    const std::size_t server_end = std::min(text.find('\\', 2), text.size());
    const std::size_t share_end = std::min(text.find('\\', server_end + 1), text.size());
    full.root = text.substr(0, share_end);
    rest = share_end + 1;
  }
  while (rest < text.size()) {
    const std::size_t end = std::min(text.find('\\', rest), text.size());
    const std::string_view part = std::string_view(text).substr(rest, end - rest);
    if (part == "..") {
      if (!full.folders.empty())
        full.folders.pop_back();
    } else if (!part.empty() && part != ".") {
      full.folders.emplace_back(part);
    }
    rest = end + 1;
  }
  return full;
}

bool NamesFolders(const FullPath& path, std::initializer_list<std::string_view> folders) {
  if (!base::EqualsIgnoringCase(path.root, "C:") || path.folders.size() != folders.size())
    return false;
  auto folder = path.folders.begin();
  for (const std::string_view expected : folders) {
    if (!base::EqualsIgnoringCase(*folder++, expected))
      return false;
  }
  return true;
}

}  // namespace

RefusedFolder RefusedFolderOf(std::string_view folder) {
  const std::optional<FullPath> full = MadeFull(folder);
  if (!full)
    return RefusedFolder::kNone;
  if (full->folders.empty())
    return RefusedFolder::kRoot;
  if (NamesFolders(*full, {"WINDOWS"}))
    return RefusedFolder::kWindowsFolder;
  if (NamesFolders(*full, {"WINDOWS", "SYSTEM32"}))
    return RefusedFolder::kSystemFolder;
  return RefusedFolder::kNone;
}

}  // namespace omnipack

#include "script/scanner_folder.h"

#include <array>
#include <utility>

#include "base/path.h"
#include "platform/filesystem.h"
#include "script/values.h"

namespace script {
namespace {

bool HoldsFile(const std::string& folder, std::string_view name) {
  std::string path = folder;
  return base::JoinPath(path, base::kPathCapacity, name) && platform::IsFile(path);
}

bool IsScannerFolder(const std::string& folder) {
  constexpr std::array<std::string_view, 3> kDataFiles = {"DETECT.DAT", "REPAIR.DAT", "TITLES.DAT"};
  if (!HoldsFile(folder, "pguard.exe") ||
      !(HoldsFile(folder, "probe.exe") || HoldsFile(folder, "probepm.exe")))
    return false;
  for (const std::string_view name : kDataFiles) {
    if (!HoldsFile(folder, name))
      return false;
  }
  return !HoldsFile(folder, "probe16.exe") && !HoldsFile(folder, "probe32.exe");
}

}  // namespace

std::vector<std::string> SearchPathFolders(std::string_view search_path) {
  std::vector<std::string> folders;
  std::string item;
  // Items as long as the whole text: a long folder comes out whole and is left out, not cut.
  for (std::optional<std::size_t> cursor =
           NextItem(search_path, 0, item, search_path.size() + 1, ';');
       cursor; cursor = NextItem(search_path, *cursor, item, search_path.size() + 1, ';')) {
    if (!item.empty() && item.size() < base::kPathCapacity)
      folders.push_back(item);
  }
  return folders;
}

std::optional<std::string> FindScannerFolder(std::string_view search_path) {
  for (std::string& folder : SearchPathFolders(search_path)) {
    if (IsScannerFolder(folder))
      return std::move(folder);
  }
  return std::nullopt;
}

}  // namespace script

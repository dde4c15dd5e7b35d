#include "source_folder.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace omnipack {
namespace {

namespace fs = std::filesystem;

// The name in the package; empty when a part holds "\\", which the installer would take for a
// separator (and which the platform layer cannot open on the host either).
std::string StoredName(const fs::path& relative) {
  std::string name;
  for (const fs::path& part : relative) {
    const std::string text = part.string();
    if (text.find('\\') != std::string::npos)
      return {};
    if (!name.empty())
      name += '\\';
    name += text;
  }
  return name;
}

}  // namespace

std::optional<ToolError> CollectFolder(const std::string& folder, std::vector<PackEntry>& entries,
                                       std::vector<ToolError>& problems) {
  std::error_code error;
  if (!fs::is_directory(folder, error))
    return ToolError{folder, "not a folder"};
  fs::recursive_directory_iterator walk(folder, error);
  if (error)
    return ToolError{folder, "cannot be read: " + error.message()};
  for (; walk != fs::recursive_directory_iterator(); walk.increment(error)) {
    const fs::directory_entry& item = *walk;
    const std::string path = item.path().string();
    // The walk does not enter linked folders; say so rather than leave their files out.
    if (item.is_directory(error)) {
      if (item.is_symlink(error))
        problems.push_back({path, "a link to a folder, not followed"});
      continue;
    }
    if (!item.is_regular_file(error)) {
      problems.push_back({path, "neither a regular file nor a folder"});
      continue;
    }
    const std::uintmax_t size = item.file_size(error);
    if (error) {
      problems.push_back({path, "cannot be read: " + error.message()});
      continue;
    }
    PackEntry entry;
    entry.source_path = path;
    entry.stored_name = StoredName(item.path().lexically_relative(folder));
    entry.size = size;
    if (entry.stored_name.empty()) {
      problems.push_back(
          {path, "name holds \"\\\", which the installer takes for a folder separator"});
      continue;
    }
    entries.push_back(std::move(entry));
  }
  if (error)
    return ToolError{folder, "cannot be read: " + error.message()};
  std::sort(entries.begin(), entries.end(),
            [](const PackEntry& a, const PackEntry& b) { return a.stored_name < b.stored_name; });
  return std::nullopt;
}

}  // namespace omnipack

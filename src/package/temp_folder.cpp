#include "package/temp_folder.h"

#include <bitset>

#include "base/hex_text.h"
#include "base/path.h"
#include "package/runtime_random.h"
#include "platform/filesystem.h"
#include "platform/system.h"

namespace package {
namespace {

// The enumeration pattern "folder\*.*" is built in a buffer of this size.
constexpr std::size_t kWalkPatternCapacity = 512;
constexpr std::size_t kWalkPatternSuffix = 5;  // "\*.*" and the terminating zero
// Folder paths handed to walk callbacks, and paths joined from them.
constexpr std::size_t kWalkFolderCapacity = 520;

}  // namespace

std::string TempFolderName(unsigned value) {
  return base::HexText(value);
}

bool CreateTempFolder(const std::string& parent, std::string& folder, std::size_t capacity) {
  // Every free name is tried once; a name that exists already belongs to someone else (another
  // run of the installer, started within the same second) and is never taken over.
  RuntimeRandom random(static_cast<std::uint32_t>(platform::CurrentTime()));
  std::bitset<RuntimeRandom::kValueCount> tried;
  while (!tried.all()) {
    const unsigned value = random.Next();
    if (tried.test(value))
      continue;
    tried.set(value);
    std::string path = parent;
    if (!base::JoinPath(path, capacity, TempFolderName(value)))
      return false;
    switch (platform::CreateFolder(path)) {
      case platform::CreateFolderResult::kCreated:
        folder = path;
        return true;
      case platform::CreateFolderResult::kExists:
        break;
      case platform::CreateFolderResult::kFailed:
        return false;
    }
  }
  return false;
}

void RemoveTempFolder(const std::string& folder) {
  // The folder is one of our own temporary folders: what the extraction put into subfolders goes
  // with it. Paths are bounded by the walk's buffer, and so is the depth.
  WalkDirectory(folder, [](const WalkEntry& entry) {
    std::string path = entry.folder;
    if (base::JoinPath(path, kWalkFolderCapacity, entry.name)) {
      if (entry.kind == 0)
        platform::RemoveFile(path);
      else
        RemoveTempFolder(path);
    }
    return true;
  });
  // Fails, leaving the folder, while undeletable files remain.
  platform::RemoveFolder(folder);
}

bool WalkDirectory(const std::string& folder,
                   const std::function<bool(const WalkEntry&)>& callback) {
  if (folder.empty() || !callback || folder.size() + kWalkPatternSuffix > kWalkPatternCapacity) {
    return false;
  }
  platform::ListFolder(folder, [&](const platform::FolderEntry& found) {
    WalkEntry entry;
    entry.name = found.name;
    // A "?" stands for a character the ANSI code page cannot hold; such a name cannot be opened,
    // its short alias can.
    if (entry.name.find('?') != std::string::npos) {
      if (found.short_name.empty())
        return true;
      entry.name = found.short_name;
    }
    entry.kind = found.is_folder ? 1 : 0;
    entry.folder = folder;
    entry.creation_time = found.creation_time;
    entry.access_time = found.access_time;
    entry.write_time = found.write_time;
    entry.size = found.size;
    entry.attributes = found.attributes;
    return callback(entry);
  });
  return true;
}

}  // namespace package

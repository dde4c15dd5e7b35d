#include "install/folder_removal.h"

#include <windows.h>

#include <memory>
#include <vector>

#include "base/characters.h"
#include "base/path.h"
#include "base/status.h"
#include "platform/filesystem.h"
#include "platform/win32/file_moves.h"
#include "platform/win32/unique_handle.h"

namespace install {
namespace {

// A removed folder can still show while the system lets go of it; its parent cannot go before
// it is gone. The poll counter is one budget for the whole removal: it starts at 10, grows by 10
// per 10 ms poll and ends the waiting at 100, so a removal waits 90 ms at most in all, and folders
// after that are not waited for.
constexpr DWORD kPollMilliseconds = 10;
constexpr int kPollStart = 10;
constexpr int kPollStep = 10;
constexpr int kPollLimit = 100;

// One open enumeration of a folder's entries, "." and ".." included; closed with the object.
class FolderEnumeration {
 public:
  explicit FolderEnumeration(const std::string& pattern)
      : handle_(::FindFirstFileA(pattern.c_str(), &data_)) {}

  // The next entry; null when the folder could not be opened or has no more entries.
  const WIN32_FIND_DATAA* Next() {
    if (!handle_.IsOpen())
      return nullptr;
    if (first_) {
      first_ = false;
      return &data_;
    }
    return ::FindNextFileA(handle_.Get(), &data_) ? &data_ : nullptr;
  }

 private:
  WIN32_FIND_DATAA data_;
  platform::FindHandle handle_;
  bool first_ = true;
};

// A folder the walk is in, with its enumeration.
struct WalkLevel {
  std::string folder;
  std::unique_ptr<FolderEnumeration> entries;
};

void ClearReadOnly(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
    ::SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
}

// The per-entry step for a file the walk meets in folder: false stops the walk. Only files are
// acted on; the walk's folder entries have nothing to do here.
bool RemoveWalkedFile(const std::string& folder, const std::string& name, unsigned bits) {
  if ((bits & kRemoveFiles) == 0)
    return true;
  std::string path = folder;
  // A path the system's ANSI calls cannot reach could be neither deleted nor queued.
  if (!base::JoinPath(path, base::kPathCapacity, name))
    return false;
  if (!platform::IsFile(path))
    return true;
  ClearReadOnly(path);
  return platform::RemoveFile(path) || DeleteOnRestart(path, bits);
}

// Opens folder's enumeration as the walk's deepest level and notes folder as entered; false when
// its pattern does not fit a path buffer.
bool EnterFolder(const std::string& folder, std::vector<WalkLevel>& levels,
                 std::vector<std::string>& entered) {
  std::string pattern = folder;
  if (!base::JoinPath(pattern, base::kPathCapacity, "*.*"))
    return false;
  levels.push_back({folder, std::make_unique<FolderEnumeration>(pattern)});
  entered.push_back(folder);
  return true;
}

// Depth first, one open enumeration per level; entered receives every folder entered, the top
// folder first. True when every entry was visited.
bool WalkTree(const std::string& top, bool recurse, unsigned bits,
              std::vector<std::string>& entered) {
  std::vector<WalkLevel> levels;
  if (!EnterFolder(top, levels, entered))
    return false;
  while (!levels.empty()) {
    const WIN32_FIND_DATAA* entry = levels.back().entries->Next();
    if (entry == nullptr) {
      levels.pop_back();
      continue;
    }
    const std::string name = entry->cFileName;
    if (name == "." || name == "..")
      continue;
    if ((entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      if (!RemoveWalkedFile(levels.back().folder, name, bits))
        return false;
    } else if (recurse) {
      std::string folder = levels.back().folder;
      if (!base::JoinPath(folder, base::kPathCapacity, name) ||
          !EnterFolder(folder, levels, entered)) {
        return false;
      }
    }
  }
  return true;
}

// From the last folder entered back to the first, so that each goes after the folders below it.
void RemoveFolders(const std::vector<std::string>& entered, unsigned bits) {
  int poll = kPollStart;
  for (auto folder = entered.rbegin(); folder != entered.rend(); ++folder) {
    if (!platform::IsFolder(*folder))
      continue;
    ClearReadOnly(*folder);
    if (platform::RemoveFolder(*folder)) {
      for (; poll < kPollLimit && platform::IsFolder(*folder); poll += kPollStep)
        ::SleepEx(kPollMilliseconds, FALSE);
    } else {
      // A folder that stays until the restart is no failure of the removal.
      DeleteOnRestart(*folder, bits);
    }
  }
}

}  // namespace

bool RemoveFolderTree(std::string& folder, bool recurse, unsigned bits) {
  if (base::EndsWithCharacter(folder, '\\') || base::EndsWithCharacter(folder, '/'))
    folder.pop_back();
  // An empty name would walk the current folder or, joined, the drive's root; it names no folder.
  if (folder.empty())
    return true;
  std::vector<std::string> entered;
  if (!WalkTree(folder, recurse, bits, entered))
    return false;
  if (recurse && (bits & kRemoveFolders) != 0)
    RemoveFolders(entered, bits);
  return true;
}

bool DeleteOnRestart(const std::string& path, unsigned bits) {
  if ((bits & (kRemoveFiles | kRemoveFolders)) == 0)
    return true;
  // Only a refusal by the system counts: WININIT.INI lines are best effort, the 9x family gives no
  // answer to act on.
  return platform::DeleteAtRestart(path) != status::kNoRights;
}

}  // namespace install

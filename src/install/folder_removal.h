#pragma once

#include <string>

// Emptying a folder or removing a whole folder tree. What cannot be removed now is handed to the
// system for deletion at the next restart, so that an old product folder goes even when some of
// its files are in use.
namespace install {

// Option bits of a removal.
inline constexpr unsigned kRemoveFiles = 1;
inline constexpr unsigned kRemoveFolders = 2;

// Deletes the files of folder (a trailing "\" or "/" is cut off first, in place) and, with
// recurse, those of every folder below it, clearing read-only attributes; then, when recurse and
// kRemoveFolders are both given, removes the folders from the deepest up. A file that cannot be
// deleted is queued for deletion at restart. True when the walk completed; it stops, with the
// files not yet visited left and no folder removed, at a file that can be neither deleted nor
// queued, and at a path too long for a 260-byte path buffer, which the system's ANSI calls could
// not reach. A folder that does not exist (or an empty name) gives a completed walk that touches
// nothing.
bool RemoveFolderTree(std::string& folder, bool recurse, unsigned bits);

// Queues path for deletion at the next restart (platform::DeleteAtRestart). False only when the NT
// family refuses; true when queued, when neither option bit asks for it, and on every other family.
bool DeleteOnRestart(const std::string& path, unsigned bits);

}  // namespace install

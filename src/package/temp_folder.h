#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace package {

// The name of a temporary folder for one draw of the generator: upper-case hexadecimal, no
// leading zeros ("0" to "7FFF").
std::string TempFolderName(unsigned value);

// Creates a new folder in parent (the temporary directory), named by the time-seeded generator;
// when a name is taken, the next number is drawn until a folder is newly created, so an existing
// folder is never reused and each run has a folder of its own. folder receives its path (at most
// capacity - 1 characters). False when no folder could be created.
bool CreateTempFolder(const std::string& parent, std::string& folder, std::size_t capacity);

// Deletes the files of folder and of its subfolders, then the folders themselves when empty.
void RemoveTempFolder(const std::string& folder);

struct WalkEntry {
  int kind = 0;  // 0 file, 1 folder
  std::string folder;
  std::string name;
  std::int64_t creation_time = 0;
  std::int64_t access_time = 0;
  std::int64_t write_time = 0;
  std::uint32_t size = 0;
  std::uint32_t attributes = 0;
};
// Reports every entry of folder (subfolders are reported, not entered); names that the ANSI code
// page cannot hold are reported by their short name, or skipped. The callback returns false to
// stop. False only when the walk cannot start.
bool WalkDirectory(const std::string& folder,
                   const std::function<bool(const WalkEntry&)>& callback);

}  // namespace package

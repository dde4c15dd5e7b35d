#pragma once

// Helpers shared by the unit tests: fixture paths in the system's own form and scratch folders
// that clean up after themselves.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace test_support {

// A path below tests/fixtures, with "\" separators (and the Z: drive under Wine).
std::string FixturePath(std::string_view relative);

// The system path for a host path, e.g. "/work/x" -> "Z:\work\x" under Wine.
std::string SystemPath(std::string_view host_path);

// A new empty folder in the temporary directory, removed with everything in it when destroyed.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& path() const { return path_; }
  // path() joined with a relative name ("sub\file.txt").
  std::string operator/(std::string_view name) const;

 private:
  std::string path_;
};

std::vector<std::uint8_t> ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
bool WriteFileText(const std::string& path, std::string_view text);
void RemoveTree(const std::string& path);

}  // namespace test_support

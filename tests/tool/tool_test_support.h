#pragma once

// Helpers of the omnipack tests: host paths, scratch folders, running the built tool, and the
// fixture folders copied with fixed modification times.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "package/format.h"

namespace tool_test {

namespace fs = std::filesystem;

// A new empty folder under the temporary directory, removed with its contents when destroyed.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const fs::path& path() const { return path_; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

 private:
  fs::path path_;
};

struct ToolRun {
  int exit_code = -1;
  std::string out;
  std::string err;
};

// Runs the omnipack binary (or another copy of it) with args; stdout and stderr are captured.
ToolRun RunTool(const std::vector<std::string>& args, const std::string& binary = OMNIPACK_BINARY);

fs::path FixturePath(const std::string& relative);  // below tests/fixtures/omnipack
// omnipack build of the fixture folders main and lang with the fixture stub into out.
ToolRun BuildFixtureInstaller(const std::string& out);

std::vector<std::uint8_t> ReadBytes(const fs::path& path);
void WriteBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes);
void WriteText(const fs::path& path, const std::string& text);

// The local time every fixture file gets, so that builds are reproducible whatever the checkout.
inline constexpr package::TimeStamp kFixtureTime{14, 7, 9, 124, 3, 5};  // 2024-03-05 14:07:09
void SetModificationTime(const fs::path& path, const package::TimeStamp& time);
package::TimeStamp ModificationTime(const fs::path& path);

// Copies the fixture folder (main or lang) to target; every file gets kFixtureTime.
void CopyFixtureFolder(const std::string& name, const fs::path& target);

// Every file below folder, as relative paths with "/".
std::vector<std::string> FilesBelow(const fs::path& folder);

std::uint32_t FileCrc(const std::vector<std::uint8_t>& bytes);

// The trailer and the directory records of an installer's bytes.
package::PackageTrailer TrailerOf(const std::vector<std::uint8_t>& installer);
std::vector<package::DirectoryRecord> DirectoryOf(const std::vector<std::uint8_t>& installer);
// File offset of the main set's first byte (after its magic).
std::uint64_t MainSetStart(const package::PackageTrailer& trailer);

std::vector<std::string> Lines(const std::string& text);

}  // namespace tool_test

// LocateFile's five places, in their order, on real folders: the work directory, the current
// directory, the Windows and system directories of the test's prefix, and the search path.

#include "system/locate_file.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <set>
#include <string>

#include "command_test.h"
#include "platform/filesystem.h"
#include "platform/win32/system_info.h"
#include "scoped_search_path.h"
#include "script_in_folder.h"
#include "test_support.h"

namespace {

using test_support::ScratchFolder;

enum Place { kWork, kCurrent, kWindows, kSystem, kSearchPath };

class LocateFile : public test_support::CommandTest {
 protected:
  LocateFile() {
    for (const char* name : {"work", "current", "path"})
      EXPECT_EQ(platform::CreateFolder(scratch_ / name), platform::CreateFolderResult::kCreated);
  }

  ScratchFolder scratch_;
  const std::array<std::string, 5> folders_ = {scratch_ / "work", scratch_ / "current",
                                               platform::WindowsDirectory(),
                                               platform::SystemDirectory(), scratch_ / "path"};
};

// Removes what a case made, also in the system's folders.
struct MadeEntries {
  ~MadeEntries() {
    for (const std::string& path : files)
      platform::RemoveFile(path);
    for (const std::string& path : folders)
      platform::RemoveFolder(path);
  }
  std::set<std::string> files, folders;
};

TEST_F(LocateFile, TakesTheFirstPlaceThatHoldsTheFile) {
  const struct {
    const char* what;
    std::set<Place> files;
    std::set<Place> folders;  // a folder of the name, which is no file
    bool work_directory;
    std::optional<Place> found;
  } cases[] = {
      {"everywhere", {kWork, kCurrent, kWindows, kSystem, kSearchPath}, {}, true, kWork},
      {"not in the work directory", {kCurrent, kWindows, kSystem, kSearchPath}, {}, true, kCurrent},
      {"in the system's folders", {kWindows, kSystem, kSearchPath}, {}, true, kWindows},
      {"in the system directory", {kSystem, kSearchPath}, {}, true, kSystem},
      {"only on the search path", {kSearchPath}, {}, true, kSearchPath},
      {"nowhere", {}, {}, true, std::nullopt},
      {"a folder of the name is passed over", {kCurrent}, {kWork}, true, kCurrent},
      {"no work directory", {kWork}, {}, false, std::nullopt},
  };
  const test_support::ScopedSearchPath search_path(folders_[kSearchPath]);
  const test_support::CurrentFolder current(folders_[kCurrent]);
  int number = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string name =
        "omni-locate-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(number++);
    MadeEntries made;
    for (const Place place : c.files) {
      const std::string path = folders_[place] + "\\" + name;
      ASSERT_TRUE(test_support::WriteFileText(path, "[S]\r\n"));
      made.files.insert(path);
    }
    for (const Place place : c.folders) {
      const std::string path = folders_[place] + "\\" + name;
      ASSERT_EQ(platform::CreateFolder(path), platform::CreateFolderResult::kCreated);
      made.folders.insert(path);
    }
    context.work_directory = c.work_directory ? folders_[kWork] : std::string();

    const std::optional<std::string> expected =
        c.found ? std::optional(folders_[*c.found] + "\\" + name) : std::nullopt;
    EXPECT_EQ(system_commands::LocateFile(context, name), expected);
  }
}

TEST_F(LocateFile, ADeviceIsNoFile) {
  context.work_directory = folders_[kWork];
  for (const char* name : {"NUL", "con.ini", "sub\\COM1"})
    EXPECT_EQ(system_commands::LocateFile(context, name), std::nullopt) << name;
}

}  // namespace

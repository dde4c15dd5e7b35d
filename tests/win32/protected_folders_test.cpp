// The folders DELETEDIRECTORY refuses, however a script spells them. Only questions are asked
// here; the command's refusal is tried on a share root that does not exist, so a fault cannot
// touch the system.

#include "install/protected_folders.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "log/messages.h"
#include "platform/short_path.h"
#include "script_in_folder.h"
#include "script_runner.h"
#include "test_support.h"

namespace {

using test_support::MainStopped;
using test_support::RunInFolder;
using test_support::ScratchFolder;
using test_support::ScriptRunner;

std::string WindowsFolder() {
  char buffer[MAX_PATH];
  return std::string(buffer, ::GetWindowsDirectoryA(buffer, sizeof buffer));
}

std::string SystemFolder() {
  char buffer[MAX_PATH];
  return std::string(buffer, ::GetSystemDirectoryA(buffer, sizeof buffer));
}

std::string Environment(const char* name) {
  char buffer[MAX_PATH];
  const DWORD length = ::GetEnvironmentVariableA(name, buffer, sizeof buffer);
  return length == 0 || length >= sizeof buffer ? std::string() : std::string(buffer, length);
}

std::string Lower(std::string text) {
  for (char& c : text)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

TEST(ProtectedFolders, SystemFoldersAreRefusedHoweverNamed) {
  const std::string windows = WindowsFolder();
  const std::string system = SystemFolder();
  const std::string drive = windows.substr(0, 2);  // "C:"
  const std::string program_files = Environment("ProgramFiles");
  const std::string profile = Environment("USERPROFILE");
  const std::string profiles = profile.substr(0, profile.rfind('\\'));
  ASSERT_FALSE(program_files.empty());
  ASSERT_FALSE(profile.empty());
  ScratchFolder scratch;

  const struct {
    const char* what;
    std::string folder;
    bool refused;
  } cases[] = {
      {"the Windows folder", windows, true},
      {"with a trailing separator", windows + "\\", true},
      {"with trailing slashes", windows + "//", true},
      {"in lower case", Lower(windows), true},
      {"by its short name", platform::ShortPathName(windows), true},
      {"the system folder", system, true},
      {"the Windows folder reached through \"..\"", system + "\\..", true},
      {"the drive root", drive + "\\", true},
      {"the drive root with a slash", drive + "/", true},
      {"another drive's root", "Q:\\", true},
      {"a share root", "\\\\server\\share\\", true},
      {"the Windows folder past the name rules", "\\\\?\\" + windows, true},
      {"the Windows folder as a device path", "\\\\.\\" + windows, true},
      {"a share root past the name rules", "\\\\?\\UNC\\server\\share", true},
      {"Program Files", program_files, true},
      {"Program Files by its short name", platform::ShortPathName(program_files), true},
      {"the profiles root", profiles, true},
      {"a name that only begins like the Windows folder", windows + "old", false},
      {"a folder inside the Windows folder", windows + "\\Temp", false},
      {"a folder inside a share", "\\\\server\\share\\product", false},
      {"a product's folder", scratch.path(), false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(install::IsProtectedFolder(c.folder), c.refused) << c.what << ": " << c.folder;
  }
}

// The share does not exist: were the refusal missing, the removal would find nothing to delete.
TEST(ProtectedFolders, DeleteDirectoryRefusesAndStopsTheSection) {
  ScratchFolder work;
  ScriptRunner runner;
  EXPECT_EQ(RunInFolder(runner, work.path(),
                        "[Main]\nSet top=\\\\nowhere-server\\share\nDELETEDIRECTORY top,TRUE\n"),
            status::kDeleteFailed);
  EXPECT_TRUE(MainStopped(runner));
  using Report = test_support::RecordingReporter::Report;
  EXPECT_EQ(runner.ReportsOf(message::kSystemFolderRefused),
            std::vector<Report>(
                {{Report::kLog, message::kSystemFolderRefused, "\\\\nowhere-server\\share"}}));
  EXPECT_TRUE(runner.ReportsOf(message::kFolderDeleteFailed).empty());
}

}  // namespace

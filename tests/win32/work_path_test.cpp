// Relative names in a script are names in the work folder, whatever the installer's current
// folder holds: the file commands never reach into it or above it.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/filesystem.h"
#include "script_in_folder.h"
#include "script_runner.h"
#include "test_support.h"

namespace {

using test_support::CurrentFolder;
using test_support::RunInFolder;
using test_support::ScratchFolder;
using test_support::ScriptRunner;

// Both folders hold the same files: top.txt, here\sub\victim.txt. The installer runs in the
// current folder's here; the work directory, when set, is the work folder's here.
const char* const kFiles[] = {"top.txt", "here\\sub\\victim.txt"};

TEST(WorkPath, RelativeNamesNeverLeaveTheWorkFolder) {
  const struct {
    const char* what;
    const char* script;
    bool work_directory_set;
    std::vector<const char*> gone;  // files of the work folder; the current folder keeps all
  } cases[] = {
      {"a file in a subfolder", "DeleteFile sub\\victim.txt", true, {"here\\sub\\victim.txt"}},
      {"a subfolder", "DeleteDirectory sub,TRUE", true, {"here\\sub\\victim.txt"}},
      {"the parent folder", "DeleteDirectory ..", true, {"top.txt"}},
      {"a subfolder named by a variable",
       "Set s=sub\nDeleteDirectory s,TRUE",
       true,
       {"here\\sub\\victim.txt"}},
      {"a file without a work directory", "DeleteFile sub\\victim.txt", false, {}},
      {"the parent folder without a work directory", "DeleteDirectory ..,TRUE", false, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder current, work;
    for (const ScratchFolder* folder : {&current, &work}) {
      ASSERT_TRUE(::CreateDirectoryA((*folder / "here").c_str(), nullptr));
      ASSERT_TRUE(::CreateDirectoryA((*folder / "here\\sub").c_str(), nullptr));
      for (const char* file : kFiles)
        ASSERT_TRUE(test_support::WriteFileText(*folder / file, "keep"));
    }
    {
      const CurrentFolder inside(current / "here");
      ScriptRunner runner;
      RunInFolder(runner, c.work_directory_set ? work / "here" : std::string(),
                  std::string("[Main]\n") + c.script + "\n");
    }
    for (const char* file : kFiles) {
      EXPECT_TRUE(platform::IsFile(current / file)) << "current folder: " << file;
      bool gone = false;
      for (const char* name : c.gone)
        gone = gone || std::string(name) == file;
      EXPECT_EQ(platform::IsFile(work / file), !gone) << "work folder: " << file;
    }
  }
}

}  // namespace

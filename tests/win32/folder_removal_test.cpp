// DELETEDIRECTORY: emptying a folder or removing its whole tree, the deletions queued at restart
// for files in use (read back from the system), and trees beyond the system's path length.

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "install_test_files.h"
#include "log/messages.h"
#include "pending_renames.h"
#include "platform/system.h"
#include "script_in_folder.h"
#include "script_runner.h"
#include "test_support.h"

namespace {

using test_support::Crlf;
using test_support::CurrentFolder;
using test_support::HeldFile;
using test_support::RefusedDelayedOperations;
using test_support::ScratchFolder;
using test_support::ScriptRunner;
using test_support::SystemForm;

// The same path for the 16-bit-character calls, which reach beyond 259 characters.
std::wstring LongForm(const std::string& path) {
  return L"\\\\?\\" + std::wstring(path.begin(), path.end());
}

bool Exists(const std::string& path) {
  return ::GetFileAttributesW(LongForm(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool MakeFolder(const std::string& path) {
  return ::CreateDirectoryW(LongForm(path).c_str(), nullptr) != 0;
}

bool MakeFile(const std::string& path) {
  const HANDLE file = ::CreateFileW(LongForm(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return false;
  DWORD written = 0;
  const bool ok = ::WriteFile(file, "data", 4, &written, nullptr) && written == 4;
  ::CloseHandle(file);
  return ok;
}

bool MakeReadOnly(const std::string& path) {
  return ::SetFileAttributesW(LongForm(path).c_str(), FILE_ATTRIBUTE_READONLY) != 0;
}

// Removes what a test leaves, read-only entries and paths of any length included.
void ForceRemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW data;
  const HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..")
        continue;
      const std::wstring path = folder + L"\\" + name;
      ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        ForceRemoveTree(path);
      } else {
        ::DeleteFileW(path.c_str());
      }
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
  }
  ::SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::RemoveDirectoryW(folder.c_str());
}

std::string Replace(std::string text, std::string_view from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

struct Outcome {
  Status status;
  std::size_t failures;  // lines of message 117
};

Outcome RunScript(const std::string& text) {
  ScriptRunner runner;
  const Status status = runner.Run(Crlf(text));
  return {status, runner.ReportsOf(message::kFolderDeleteFailed).size()};
}

class FolderRemoval : public ::testing::Test {
 protected:
  void TearDown() override { ForceRemoveTree(LongForm(scratch_.path())); }

  // Creates the entries below folder in order: a name ending in "\" is a folder, any other a
  // file; read_only ones get the read-only attribute once everything exists.
  struct Entry {
    std::string name;
    bool read_only = false;
  };
  static void Build(const std::string& folder, const std::vector<Entry>& entries) {
    ASSERT_TRUE(MakeFolder(folder)) << folder;
    for (const Entry& entry : entries) {
      const std::string path = folder + "\\" + entry.name;
      if (entry.name.back() == '\\') {
        ASSERT_TRUE(MakeFolder(path.substr(0, path.size() - 1))) << path;
      } else {
        ASSERT_TRUE(MakeFile(path)) << path;
      }
    }
    for (const Entry& entry : entries) {
      if (entry.read_only) {
        ASSERT_TRUE(MakeReadOnly(folder + "\\" + entry.name)) << entry.name;
      }
    }
  }

  ScratchFolder scratch_;
};

TEST_F(FolderRemoval, RemovesTheFilesOrTheWholeTreeAsTheArgumentSays) {
  // Read-only files and a read-only folder at every level.
  const std::vector<Entry> tree = {
      {"a.txt"},           {"b.dll", true},          {"sub\\"},        {"sub\\c.txt"},
      {"sub\\ro\\", true}, {"sub\\ro\\d.dll", true}, {"sub\\empty\\"},
  };
  enum Expected { kTopFiles, kWholeTree, kNothing };
  const struct {
    const char* what;
    const char* script;  // {top} stands for the folder, which holds the tree
    Expected removed;
    bool run_in_top = false;  // the process's current folder is the tree's top folder
  } cases[] = {
      {"literal folder", "DELETEDIRECTORY {top}", kTopFiles},
      {"a second item other than TRUE", "DELETEDIRECTORY {top}, FALSE", kTopFiles},
      {"trailing backslash", "DELETEDIRECTORY {top}\\", kTopFiles},
      {"TRUE", "DELETEDIRECTORY {top},TRUE", kWholeTree},
      {"true in lower case, trailing backslash", "DELETEDIRECTORY {top}\\ , true", kWholeTree},
      {"a variable names the folder", "Set OldDir={top}\nDELETEDIRECTORY OldDir,TRUE", kWholeTree},
      {"a variable's folder with a trailing slash", "Set OldDir={top}/\nDELETEDIRECTORY OldDir",
       kTopFiles},
      {"a folder that does not exist", "DELETEDIRECTORY {top}\\missing,TRUE", kNothing},
      {"an empty folder name is no folder, not the current one",
       "Set OldDir=\nDELETEDIRECTORY OldDir,TRUE", kNothing, true},
  };
  int row = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string top = scratch_ / ("case " + std::to_string(row++)) + "\\Old Product";
    ASSERT_TRUE(MakeFolder(top.substr(0, top.rfind('\\'))));
    Build(top, tree);
    if (HasFatalFailure())
      return;
    std::optional<CurrentFolder> inside;
    if (c.run_in_top)
      inside.emplace(top);

    const Outcome outcome = RunScript("[Main]\n" + Replace(c.script, "{top}", top) + "\n");
    inside.reset();

    EXPECT_EQ(outcome.status, status::kOk);
    EXPECT_EQ(outcome.failures, 0u);
    EXPECT_EQ(Exists(top), c.removed != kWholeTree);
    for (const Entry& entry : tree) {
      const bool in_top = entry.name.find('\\') == std::string::npos;
      const bool removed = c.removed == kWholeTree || (c.removed == kTopFiles && in_top);
      EXPECT_EQ(Exists(top + "\\" + entry.name), !removed) << entry.name;
    }
  }
}

TEST_F(FolderRemoval, FileInUseIsDeletedAtRestartWithEveryFolderAboveIt) {
  if (!platform::IsNtFamily())
    GTEST_SKIP() << "delayed deletions are the NT family's";
  const std::string top = scratch_ / "Old Product";
  Build(top, {{"a.txt", true},
              {"empty\\"},
              {"bin\\"},
              {"bin\\engine.dll"},
              {"bin\\other.dll"},
              {"ro\\", true},
              {"ro\\x.txt", true}});
  const std::string held_path = top + "\\bin\\engine.dll";
  test_support::PendingRenames pending(scratch_.path());
  {
    // Without delete sharing it can be neither deleted nor renamed.
    HeldFile held(held_path, FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_TRUE(held.IsHeld());
    const Outcome outcome = RunScript("[Main]\nDELETEDIRECTORY " + top + ",TRUE\n");
    EXPECT_EQ(outcome.status, status::kOk);
    EXPECT_EQ(outcome.failures, 0u);
  }
  const test_support::PendingRenames::Pairs deletions = {
      {SystemForm(held_path), ""}, {SystemForm(top + "\\bin"), ""}, {SystemForm(top), ""}};
  EXPECT_EQ(pending.Ours(), deletions);
  EXPECT_TRUE(Exists(held_path));
  for (const char* gone : {"a.txt", "empty", "bin\\other.dll", "ro"})
    EXPECT_FALSE(Exists(top + "\\" + gone)) << gone;
}

// A file that can be neither deleted nor queued ends the walk: no folder is removed, not even an
// empty one, and the run goes on with status 0.
TEST_F(FolderRemoval, FileThatCannotBeQueuedStopsTheWalk) {
  if (!platform::IsNtFamily())
    GTEST_SKIP() << "the 9x family's WININIT.INI lines are never refused";
  const std::string top = scratch_ / "Old Product";
  Build(top, {{"engine.dll"}, {"empty\\"}, {"sub\\"}, {"sub\\empty\\"}});
  test_support::PendingRenames pending(scratch_.path());
  Outcome outcome{};
  {
    HeldFile held(top + "\\engine.dll", FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_TRUE(held.IsHeld());
    RefusedDelayedOperations refused;
    outcome = RunScript("[Main]\nDELETEDIRECTORY " + top + ",TRUE\n");
  }
  EXPECT_EQ(outcome.status, status::kOk);
  EXPECT_EQ(outcome.failures, 1u);
  for (const char* kept : {"engine.dll", "empty", "sub\\empty"})
    EXPECT_TRUE(Exists(top + "\\" + kept)) << kept;
  EXPECT_TRUE(pending.Ours().empty());
}

// The walk keeps no fixed tables: depth and folder count are limited only by the path length.
TEST_F(FolderRemoval, RemovesTreesDeeperAndWiderThanAHundredAndTwentyFolders) {
  const std::string wide = scratch_ / "wide";
  std::vector<Entry> folders;
  for (int i = 0; i < 130; ++i) {
    const std::string name = std::to_string(i);
    folders.push_back({name + "\\", i % 2 == 0});
    folders.push_back({name + "\\x.txt", true});
  }
  Build(wide, folders);
  // 125 levels fit the path length only relative to the current folder, which the script makes
  // its work directory: ".\t\d\d...\d\f", with a read-only file f on every level.
  std::string deep = "t";
  for (int level = 0; level <= 125; ++level) {
    ASSERT_TRUE(MakeFolder(scratch_ / deep));
    ASSERT_TRUE(MakeFile(scratch_ / (deep + "\\f")));
    ASSERT_TRUE(MakeReadOnly(scratch_ / (deep + "\\f")));
    deep += "\\d";
  }

  for (const std::string& folder : {wide, std::string("t")}) {
    SCOPED_TRACE(folder);
    CurrentFolder inside(scratch_.path());
    const Outcome outcome =
        RunScript("[Main]\nSet here=.\nSetWorkDir here\nDELETEDIRECTORY " + folder + ",TRUE\n");
    EXPECT_EQ(outcome.status, status::kOk);
    EXPECT_EQ(outcome.failures, 0u);
  }
  EXPECT_FALSE(Exists(wide));
  EXPECT_FALSE(Exists(scratch_ / "t"));
}

// A path the system's 259 characters cannot reach ends the walk before anything below it is
// touched, and no folder is removed.
TEST_F(FolderRemoval, PathsBeyondTheSystemsLengthStopTheWalk) {
  const struct {
    const char* what;
    int levels;
    std::size_t name_length;
  } cases[] = {
      {"130 levels deep", 130, 1},
      {"a path beyond 511 characters", 5, 110},
  };
  ASSERT_TRUE(MakeFile(scratch_ / "outside.txt"));
  test_support::PendingRenames pending(scratch_.path());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string top = scratch_ / c.what;
    std::string bottom = top;
    ASSERT_TRUE(MakeFolder(top));
    for (int level = 0; level < c.levels; ++level) {
      bottom += "\\" + std::string(c.name_length, 'd');
      ASSERT_TRUE(MakeFolder(bottom));
    }
    ASSERT_TRUE(MakeFile(bottom + "\\bottom.txt"));
    ASSERT_GT(bottom.size(), 259u);

    const Outcome outcome = RunScript("[Main]\nDELETEDIRECTORY " + top + ",TRUE\n");

    EXPECT_EQ(outcome.status, status::kOk);
    EXPECT_EQ(outcome.failures, 1u);
    EXPECT_TRUE(Exists(bottom + "\\bottom.txt"));
    EXPECT_TRUE(Exists(scratch_ / "outside.txt"));
  }
  EXPECT_TRUE(pending.Ours().empty());
}

}  // namespace

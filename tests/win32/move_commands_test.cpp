// SETBACKUPDIR, MOVEFILES and RENAMEFILE on real folders.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "command_test.h"
#include "install_test_files.h"
#include "log/messages.h"
#include "platform/filesystem.h"
#include "script/command_table.h"
#include "script/interpreter.h"
#include "script_runner.h"
#include "test_support.h"

namespace {

using script::opcode::kMoveFiles;
using script::opcode::kRenameFile;
using script::opcode::kSetBackupDir;
using test_support::HeldFile;
using test_support::ScratchFolder;
using Report = test_support::RecordingReporter::Report;

std::string ReadText(const std::string& path) {
  const auto bytes = test_support::ReadFileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  platform::ListFolder(folder, [&](const platform::FolderEntry& entry) {
    names.push_back(entry.name);
    return true;
  });
  return names;
}

class MoveCommands : public test_support::CommandTest {
 protected:
  MoveCommands() : work_(scratch_ / "work") {
    platform::CreateFolder(work_);
    context.work_directory = work_;
  }

  void WriteWork(const std::string& name, const std::string& text) {
    ASSERT_TRUE(test_support::WriteFileText(work_ + "\\" + name, text));
  }

  ScratchFolder scratch_;
  std::string work_;
};

TEST_F(MoveCommands, SetBackupDirCreatesTheFolderBelowTheWorkDirectory) {
  const struct {
    const char* argument;
    std::vector<std::pair<std::string, std::string>> variables;
    std::string folder;  // below the work directory
  } cases[] = {
      {"bk=Backup", {}, "Backup"},
      {" bk = Backup ", {{"Other", "x"}}, "Backup"},
      // A variable of the name gives the folder, which may be several levels deep.
      {"bk=Backup", {{"Backup", "Saved\\Old"}}, "Saved\\Old"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.argument);
    context.variables = script::VariableTable{};
    for (const auto& [name, value] : c.variables)
      context.variables.Set(name, value);
    const std::string expected = work_ + "\\" + c.folder;
    EXPECT_EQ(Run(kSetBackupDir, c.argument), status::kOk);
    EXPECT_FALSE(Stopped());
    EXPECT_EQ(Variable("bk"), expected);
    EXPECT_EQ(context.backup_directory, expected);
    EXPECT_TRUE(platform::IsFolder(expected));
    // The write test leaves nothing behind.
    EXPECT_EQ(FolderNames(expected), std::vector<std::string>{});
    test_support::RemoveTree(work_ + "\\" + c.folder.substr(0, c.folder.find('\\')));
  }
}

TEST_F(MoveCommands, SetBackupDirFollowsTheWorkDirectoryOfItsMoment) {
  ASSERT_EQ(Run(kSetBackupDir, "bk=Backup"), status::kOk);
  context.work_directory = scratch_.path();
  EXPECT_EQ(context.backup_directory, work_ + "\\Backup");
  ASSERT_EQ(Run(kSetBackupDir, "bk=Backup"), status::kOk);
  EXPECT_EQ(context.backup_directory, scratch_ / "Backup");
  // Without a work directory only an absolute folder names a place.
  context.work_directory.clear();
  EXPECT_EQ(Run(kSetBackupDir, "bk=Backup"), status::kBackupFailed);
  EXPECT_EQ(context.backup_directory, "");
  ASSERT_EQ(Run(kSetBackupDir, "bk=" + (scratch_ / "Alone")), status::kOk);
  EXPECT_EQ(Variable("bk"), scratch_ / "Alone");
  EXPECT_TRUE(platform::IsFolder(scratch_ / "Alone"));
}

TEST_F(MoveCommands, SetBackupDirFailures) {
  WriteWork("file.txt", "x");
  const struct {
    std::string argument;
    Status status;
    std::string backup_directory;  // afterwards; set first to "earlier"
  } cases[] = {
      {"bk", status::kNowhereToPutValue, "earlier"},
      {"bk=" + std::string(260, 'b'), status::kNoValueToSet, "earlier"},
      // A folder that cannot be made still replaces the earlier one, so later backups fail.
      {"bk=file.txt\\sub", status::kBackupFailed, work_ + "\\file.txt\\sub"},
      {"bk=" + std::string(250, 'b'), status::kBackupFailed, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.argument);
    context.backup_directory = "earlier";
    EXPECT_EQ(Run(kSetBackupDir, c.argument), c.status);
    EXPECT_TRUE(Stopped());
    EXPECT_EQ(Variable("bk"), std::nullopt);
    EXPECT_EQ(context.backup_directory, c.backup_directory);
  }
}

TEST_F(MoveCommands, MoveFilesUpToTheFirstEmptyName) {
  const std::string target = scratch_ / "target\\sub";
  context.variables.Set("target", target);
  WriteWork("a.txt", "a");
  WriteWork("b.txt", "b");
  EXPECT_EQ(Run(kMoveFiles, "target=a.txt,,b.txt"), status::kOk);
  EXPECT_EQ(ReadText(target + "\\a.txt"), "a");
  EXPECT_FALSE(platform::IsFile(work_ + "\\a.txt"));
  EXPECT_TRUE(platform::IsFile(work_ + "\\b.txt"));
  EXPECT_FALSE(platform::IsFile(target + "\\b.txt"));
  EXPECT_EQ(reporter.reports,
            (std::vector<test_support::RecordingReporter::Report>{
                {test_support::RecordingReporter::Report::kProgress, 60, target + "\\a.txt"},
                {test_support::RecordingReporter::Report::kLog, 60, target + "\\a.txt"}}));
}

TEST_F(MoveCommands, MoveFilesOverwritesInPlace) {
  const std::string target = scratch_ / "target";
  platform::CreateFolder(target);
  context.variables.Set("target", target);
  ASSERT_TRUE(test_support::WriteFileText(target + "\\a.txt", "a much longer old content"));
  WriteWork("a.txt", "new");
  WriteWork("b.txt", "b");
  EXPECT_EQ(Run(kMoveFiles, " target = a.txt , b.txt "), status::kOk);
  EXPECT_EQ(ReadText(target + "\\a.txt"), "new");
  EXPECT_EQ(ReadText(target + "\\b.txt"), "b");
  EXPECT_EQ(FolderNames(work_), std::vector<std::string>{});
}

TEST_F(MoveCommands, MoveFilesGoesOnPastAFailingFile) {
  const std::string target = scratch_ / "target";
  platform::CreateFolder(target);
  context.variables.Set("target", target);
  const struct {
    const char* argument;
    Status status;  // of the last file
  } cases[] = {
      {"target=locked.txt,a.txt", status::kOk},
      {"target=a.txt,locked.txt", status::kNoRun},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.argument);
    state = script::RunState{};
    WriteWork("a.txt", "a");
    WriteWork("locked.txt", "new");
    ASSERT_TRUE(test_support::WriteFileText(target + "\\locked.txt", "old"));
    // Held without any sharing, as a running program may hold its own files.
    HeldFile held(target + "\\locked.txt", 0);
    ASSERT_TRUE(held.IsHeld());
    EXPECT_EQ(Run(kMoveFiles, c.argument), c.status);
    EXPECT_FALSE(Stopped());
    EXPECT_EQ(ReadText(target + "\\a.txt"), "a");
    EXPECT_FALSE(platform::IsFile(work_ + "\\a.txt"));
    // The file in use stays where it was, and the run turns to replacement at restart.
    EXPECT_EQ(ReadText(work_ + "\\locked.txt"), "new");
    EXPECT_FALSE(state.direct_copy_mode);
    EXPECT_FALSE(state.reboot_not_needed);
  }
}

TEST_F(MoveCommands, MoveFilesWithoutTargetMovesNothing) {
  WriteWork("a.txt", "a");
  WriteWork("file.txt", "x");
  context.variables.Set("blocked", work_ + "\\file.txt\\sub");
  const struct {
    const char* argument;
    Status status;
  } cases[] = {
      {"missing=a.txt", status::kSymbolNotFound},
      // A target folder that cannot be made ends the command quietly.
      {"blocked=a.txt", status::kOk},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.argument);
    EXPECT_EQ(Run(kMoveFiles, c.argument), c.status);
    EXPECT_FALSE(Stopped());
    EXPECT_TRUE(platform::IsFile(work_ + "\\a.txt"));
  }
}

TEST_F(MoveCommands, RenameFile) {
  const struct {
    std::string argument;
    bool new_exists;  // a file of the new name is there before
    Status status;
    bool renamed;
  } cases[] = {
      {"a.txt=b.txt", false, status::kOk, true},
      {" a.txt = b.txt ", true, status::kOk, true},
      {"missing.txt=b.txt", false, status::kWriteFailed, false},
      {"a.txt=", true, status::kWriteFailed, false},
      {"=b.txt", true, status::kWriteFailed, false},
      {"a.txt", false, status::kNowhereToPutValue, false},
      {"a.txt=" + std::string(260, 'b'), false, status::kNoValueToSet, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.argument);
    test_support::RemoveTree(work_);
    platform::CreateFolder(work_);
    WriteWork("a.txt", "a");
    if (c.new_exists)
      WriteWork("b.txt", "old b");
    EXPECT_EQ(Run(kRenameFile, c.argument), c.status);
    EXPECT_FALSE(Stopped());
    EXPECT_EQ(platform::IsFile(work_ + "\\a.txt"), !c.renamed);
    if (c.renamed) {
      EXPECT_EQ(ReadText(work_ + "\\b.txt"), "a");
    } else if (c.new_exists) {
      EXPECT_EQ(ReadText(work_ + "\\b.txt"), "old b");
    }
  }
}

// A device (CON, NUL, COM1, ...) at either end is no file to move: the command fails with 12 and
// logs the path, and nothing moves.
TEST_F(MoveCommands, DeviceNamesAreRefused) {
  const std::string target = scratch_ / "target";
  context.variables.Set("target", target);
  const struct {
    script::Opcode opcode;
    const char* argument;
    std::string logged;
  } cases[] = {
      {kMoveFiles, "target=con.txt", work_ + "\\con.txt"},
      {kRenameFile, "a.txt=NUL", work_ + "\\NUL"},
      {kRenameFile, "a.txt=sub\\com1\\b.txt", work_ + "\\sub\\com1\\b.txt"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.argument);
    reporter.reports.clear();
    WriteWork("a.txt", "a");
    EXPECT_EQ(Run(c.opcode, c.argument), status::kWriteFailed);
    const std::string failure =
        "[Main] line 1: " + std::string(script::KeywordOf(c.opcode)) + " returned 12";
    EXPECT_EQ(reporter.reports,
              (std::vector<Report>{{Report::kLog, message::kDeviceNotFile, c.logged},
                                   {Report::kLog, message::kCommandFailed, failure}}));
    EXPECT_EQ(FolderNames(work_), std::vector<std::string>{"a.txt"});
  }
}

TEST_F(MoveCommands, RenameFileNeedsAWorkDirectory) {
  context.work_directory.clear();
  EXPECT_EQ(Run(kRenameFile, "a.txt=b.txt"), status::kWorkDirFailed);
  EXPECT_FALSE(Stopped());
}

// The three commands reached through the script's own handler table.
TEST(MoveCommandsScript, RunFromAScript) {
  ScratchFolder scratch;
  test_support::ScriptRunner runner;
  ASSERT_EQ(runner.Load(test_support::Crlf("[Main]\n"
                                           "Set name = Saved\n"
                                           "SetBackupDir bk = name\n"
                                           "RenameFile a.txt = b.txt\n"
                                           "Set to = " +
                                           (scratch / "to") +
                                           "\n"
                                           "MoveFiles to = b.txt\n")),
            status::kOk);
  runner.context().work_directory = scratch.path();
  ASSERT_TRUE(test_support::WriteFileText(scratch / "a.txt", "a"));
  EXPECT_EQ(script::RunMain(runner.context()), status::kOk);
  EXPECT_EQ(runner.Variable("bk"), scratch / "Saved");
  EXPECT_TRUE(platform::IsFolder(scratch / "Saved"));
  EXPECT_EQ(ReadText(scratch / "to\\b.txt"), "a");
  EXPECT_FALSE(platform::IsFile(scratch / "a.txt"));
  EXPECT_FALSE(platform::IsFile(scratch / "b.txt"));
}

}  // namespace

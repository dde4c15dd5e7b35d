// Replacement at restart: the staging copy, the WININIT.INI lines of the 9x family (in the prefix's
// WININIT.INI, put back afterwards, whatever family runs the tests) and the delayed moves of the NT
// family, read back from the system.

#include "install/restart_replace.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "install_test_files.h"
#include "pending_renames.h"
#include "platform/filesystem.h"
#include "platform/short_path.h"
#include "platform/system.h"
#include "recording_reporter.h"
#include "saved_wininit.h"
#include "shell/run/command_handlers.h"
#include "test_support.h"

namespace {

using platform::SystemFamily;
using test_support::HeldFile;
using test_support::SavedWininit;
using test_support::ScratchFolder;
using Report = test_support::RecordingReporter::Report;
using test_support::PendingRenames;
using test_support::SystemForm;
using Pairs = PendingRenames::Pairs;

std::string ReadText(const std::string& path) {
  const auto bytes = test_support::ReadFileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

// Creates folders of eight-letter 8.3 names below base (whose path counts base_length characters
// in the form measured) until the path counts exactly length characters; returns its full path.
std::string FolderOfLength(std::string path, std::size_t base_length, std::size_t length) {
  std::size_t remaining = length - base_length;
  while (remaining > 0) {
    std::size_t letters = std::min<std::size_t>(8, remaining - 1);
    if (remaining - (letters + 1) == 1)
      --letters;  // a last folder of no letters is not possible
    path += '\\';
    path.append(letters, 'P');
    platform::CreateFolder(path);
    remaining -= letters + 1;
  }
  return path;
}

class RestartReplace : public ::testing::Test {
 protected:
  test_support::RecordingReporter reporter_;
  script::RunState state_;
  script::ScriptContext context_{
      script::ScriptEnvironment{reporter_, state_, shell::CommandHandlers()}};
  ScratchFolder folder_;
};

TEST_F(RestartReplace, StagingCopyTakesTheNextFreeNumber) {
  ASSERT_TRUE(test_support::WriteFileText(folder_ / "a.1", "earlier"));
  ASSERT_TRUE(test_support::WriteFileText(folder_ / "new.dll", "new"));
  std::string source = folder_ / "new.dll";
  ASSERT_TRUE(install::MakeStagingCopy(folder_ / "a.dll", source));
  EXPECT_EQ(source, folder_ / "a.2");
  EXPECT_EQ(ReadText(folder_ / "a.2"), "new");
  EXPECT_EQ(ReadText(folder_ / "a.1"), "earlier");
  EXPECT_TRUE(platform::IsFile(folder_ / "new.dll"));
}

TEST_F(RestartReplace, StagingCopyFails) {
  {
    SCOPED_TRACE("no source");
    std::string source = folder_ / "missing.dll";
    EXPECT_FALSE(install::MakeStagingCopy(folder_ / "a.dll", source));
    EXPECT_EQ(source, folder_ / "missing.dll");
    EXPECT_FALSE(platform::IsFile(folder_ / "a.1"));
  }
  {
    SCOPED_TRACE("staging name past 259 characters");
    ASSERT_TRUE(test_support::WriteFileText(folder_ / "new.dll", "new"));
    // A 258-character destination without extension stages under 260 characters.
    const std::string deep = FolderOfLength(folder_.path(), folder_.path().size(), 258 - 1 - 12);
    const std::string destination = deep + "\\ABCDEFGHIJKL";
    ASSERT_EQ(destination.size(), 258u);
    std::string source = folder_ / "new.dll";
    EXPECT_FALSE(install::MakeStagingCopy(destination, source));
    EXPECT_EQ(source, folder_ / "new.dll");
    EXPECT_FALSE(platform::IsFile(destination + ".1"));
  }
}

TEST_F(RestartReplace, NineStagesAndQueuesTheLinesInWininit) {
  SavedWininit wininit;
  PendingRenames pending(folder_.path());
  const std::string destination = folder_ / "Engine Library.dll";
  ASSERT_TRUE(test_support::WriteFileText(destination, "old"));
  ASSERT_TRUE(test_support::WriteFileText(folder_ / "new.dll", "new"));
  std::string source = folder_ / "new.dll";
  ASSERT_EQ(install::ScheduleReplaceOnReboot(context_, destination, source, SystemFamily::kNine),
            status::kOk);

  EXPECT_EQ(source, folder_ / "Engine Library.1");
  EXPECT_EQ(ReadText(source), "new");
  EXPECT_EQ(ReadText(destination), "old");
  EXPECT_FALSE(state_.reboot_not_needed);
  EXPECT_TRUE(state_.replacement_pending);
  EXPECT_EQ(reporter_.reports,
            (std::vector<Report>{{Report::kLog, message::kReplacedOnReboot, destination}}));
  const std::string short_destination = platform::ShortPathName(destination);
  EXPECT_EQ(wininit.Text(), "[rename]\r\nNUL=" + short_destination + "\r\n" + short_destination +
                                "=" + platform::ShortPathName(source) + "\r\n");
  EXPECT_EQ(pending.Ours(), Pairs{});
}

// Lines past the 9x start-up's line buffer are not written, and their staging copy is of no use;
// lines that WININIT.INI cannot take leave it in place.
TEST_F(RestartReplace, NineLinesThatCannotBeWritten) {
  ASSERT_TRUE(test_support::WriteFileText(folder_ / "new.dll", "new"));
  const std::string short_base = platform::ShortPathName(folder_.path());
  // Destination and staging names in 8.3 folders: the move line is 2 * 129 + 2 = 260 characters
  // with "A.DL" beside "A.1", and 2 * 130 + 1 = 261 with "A.DLL".
  const std::string deep = FolderOfLength(folder_.path(), short_base.size(), 124);
  ASSERT_EQ(platform::ShortPathName(deep).size(), 124u);
  const struct {
    const char* name;
    bool wininit_held;  // open without sharing
    Status status;
    bool staged;
  } cases[] = {
      {"A.DL", false, status::kOk, true},
      {"A.DLL", false, status::kOpenFailed, false},
      {"A.DL", true, status::kOpenFailed, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name) + (c.wininit_held ? ", WININIT.INI held" : ""));
    SavedWininit wininit;
    ASSERT_TRUE(wininit.Write("[rename]\r\n"));
    std::optional<HeldFile> held;
    if (c.wininit_held)
      held.emplace(wininit.path(), 0);
    state_ = script::RunState{};
    const std::string destination = deep + "\\" + c.name;
    const std::string staging = deep + "\\A.1";
    std::string source = folder_ / "new.dll";

    EXPECT_EQ(install::ScheduleReplaceOnReboot(context_, destination, source, SystemFamily::kNine),
              c.status);
    held.reset();
    EXPECT_EQ(source, c.staged ? staging : folder_ / "new.dll");
    EXPECT_EQ(platform::IsFile(staging), c.staged);
    EXPECT_FALSE(platform::IsFile(destination));
    EXPECT_EQ(state_.reboot_not_needed, c.status != status::kOk);
    const std::string text = wininit.Text();
    if (c.status == status::kOk) {
      const std::size_t move = text.find("\r\n", text.find("NUL=")) + 2;
      EXPECT_EQ(text.size() - move, 260u) << text;
    } else {
      EXPECT_EQ(text, "[rename]\r\n");
    }
    platform::RemoveFile(staging);
  }
}

TEST_F(RestartReplace, NtQueuesTheDeletionThenTheMoveOfTheStagingCopy) {
  if (!platform::IsNtFamily())
    GTEST_SKIP() << "delayed moves are the NT family's";
  PendingRenames pending(folder_.path());
  const std::string destination = folder_ / "a.dll";
  ASSERT_TRUE(test_support::WriteFileText(folder_ / "a.1", "earlier"));
  ASSERT_TRUE(test_support::WriteFileText(folder_ / "new.dll", "new"));
  Pairs queued;
  for (const bool exists : {true, false}) {
    SCOPED_TRACE(exists ? "destination exists" : "new destination");
    if (exists) {
      ASSERT_TRUE(test_support::WriteFileText(destination, "old"));
    } else {
      platform::RemoveFile(destination);
    }
    const std::string staging = folder_ / (exists ? "a.2" : "a.3");
    state_ = script::RunState{};
    reporter_.reports.clear();

    std::string source = folder_ / "new.dll";
    ASSERT_EQ(install::ScheduleReplaceOnReboot(context_, destination, source), status::kOk);
    EXPECT_EQ(source, staging);
    EXPECT_EQ(ReadText(staging), "new");
    EXPECT_EQ(platform::IsFile(destination), exists);
    EXPECT_FALSE(state_.reboot_not_needed);
    EXPECT_EQ(reporter_.reports,
              (std::vector<Report>{{Report::kLog, message::kReplacedOnReboot, destination}}));
    queued.emplace_back(SystemForm(destination), "");
    queued.emplace_back(SystemForm(staging), SystemForm(destination));
    EXPECT_EQ(pending.Ours(), queued);
  }
}

// Each family reports a staging copy that cannot be made in its own way.
TEST_F(RestartReplace, WithoutStagingCopyNothingIsQueued) {
  const struct {
    SystemFamily family;
    Status status;
  } cases[] = {{SystemFamily::kNt, status::kWriteFailed},
               {SystemFamily::kNine, status::kOpenFailed}};
  ASSERT_TRUE(test_support::WriteFileText(folder_ / "new.dll", "new"));
  const std::string destination = folder_ / "missing\\a.dll";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.family == SystemFamily::kNt ? "NT family" : "9x family");
    SavedWininit wininit;
    PendingRenames pending(folder_.path());
    state_ = script::RunState{};
    reporter_.reports.clear();
    std::string source = folder_ / "new.dll";
    EXPECT_EQ(install::ScheduleReplaceOnReboot(context_, destination, source, c.family), c.status);
    EXPECT_EQ(source, folder_ / "new.dll");
    EXPECT_TRUE(state_.reboot_not_needed);
    EXPECT_EQ(pending.Ours(), Pairs{});
    EXPECT_FALSE(wininit.Exists());
    EXPECT_EQ(reporter_.reports,
              (std::vector<Report>{{Report::kLog, message::kReplacedOnReboot, destination}}));
  }
}

// A move the system refuses to queue: 45 and message 107, the staging copy removed, and the restart
// no longer needed for this file, though still for one scheduled before it.
TEST_F(RestartReplace, NtRefusedMoveGives45AndKeepsAnEarlierFilesRestart) {
  if (!platform::IsNtFamily())
    GTEST_SKIP() << "delayed moves are the NT family's";
  PendingRenames pending(folder_.path());
  ASSERT_TRUE(test_support::WriteFileText(folder_ / "new.dll", "new"));
  ASSERT_TRUE(test_support::WriteFileText(folder_ / "b.dll", "old"));
  for (const bool earlier_file : {false, true}) {
    SCOPED_TRACE(earlier_file ? "a file scheduled before" : "nothing scheduled before");
    state_ = script::RunState{};
    if (earlier_file) {
      std::string source = folder_ / "new.dll";
      ASSERT_EQ(install::ScheduleReplaceOnReboot(context_, folder_ / "a.dll", source), status::kOk);
    }
    reporter_.reports.clear();
    state_.reboot_not_needed = false;  // as the copy that found b.dll in use left it
    std::string source = folder_ / "new.dll";
    {
      test_support::RefusedDelayedOperations refused;
      EXPECT_EQ(install::ScheduleReplaceOnReboot(context_, folder_ / "b.dll", source),
                status::kNoRights);
    }
    EXPECT_EQ(source, folder_ / "new.dll");
    EXPECT_FALSE(platform::IsFile(folder_ / "b.1"));
    EXPECT_EQ(state_.reboot_not_needed, !earlier_file);
    EXPECT_EQ(reporter_.reports,
              (std::vector<Report>{{Report::kLog, message::kReplacedOnReboot, folder_ / "b.dll"},
                                   {Report::kLog, message::kNoRightsToUpdate, folder_ / "b.dll"}}));
  }
}

}  // namespace

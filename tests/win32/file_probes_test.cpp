#include "install/file_probes.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "install_test_files.h"
#include "package/file_time.h"
#include "platform/filesystem.h"
#include "script_in_folder.h"
#include "script_runner.h"
#include "test_package.h"
#include "test_support.h"

namespace {

using test_support::HeldFile;
using test_support::MainStopped;
using test_support::RunInFolder;
using test_support::ScratchFolder;
using test_support::ScriptRunner;

// A work folder with the files the probes look at.
class FileProbes : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"a.dll", "b.dll", "c.dll"})
      ASSERT_TRUE(test_support::WriteFileText(folder_ / name, "data"));
    ASSERT_EQ(platform::CreateFolder(folder_ / "sub"), platform::CreateFolderResult::kCreated);
  }

  Status Run(ScriptRunner& runner, const std::string& text) {
    return RunInFolder(runner, folder_.path(), text);
  }

  ScratchFolder folder_;
};

TEST_F(FileProbes, FileExistsCountsOnlyFiles) {
  ScriptRunner runner;
  ASSERT_EQ(Run(runner, "[Main]\nFileExists a = a.dll\nFileExists s = sub\nFileExists m = none\n"),
            status::kOk);
  test_support::ExpectVariables(runner, {{"a", "1"}, {"s", "0"}, {"m", "0"}});
}

TEST_F(FileProbes, IsCurrentFileOlderComparesFromTheYearDown) {
  const package::TimeStamp record_time{12, 30, 20, 124, 1, 15};  // 2024-01-15 12:30:20
  const struct {
    const char* what;
    package::TimeStamp file_time;  // hour, minute, second, year - 1900, month, day
    const char* older;
  } cases[] = {
      {"a second earlier", {12, 30, 19, 124, 1, 15}, "1"},
      {"the same time", {12, 30, 20, 124, 1, 15}, "0"},
      {"a second later", {12, 30, 21, 124, 1, 15}, "0"},
      {"an earlier year outweighs every later field", {23, 59, 59, 123, 12, 31}, "1"},
      {"a later month outweighs an earlier day and hour", {0, 0, 0, 124, 2, 1}, "0"},
  };
  package::PackageFile no_set;
  package::PackageDescriptor descriptor;
  package::DirectoryRecord record = test_package::Record("A.DLL", 0);
  record.time = record_time;
  descriptor.directory.Append(record);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(package::SetFileTimeStamp(folder_ / "a.dll", c.file_time));
    ScriptRunner runner(no_set, descriptor);
    EXPECT_EQ(Run(runner, "[Main]\nIsCurrentFileOlder older = a.dll\n"), status::kOk);
    EXPECT_EQ(runner.Variable("older"), c.older);
  }
}

TEST_F(FileProbes, IsCurrentFileOlderNeedsARecordOnlyForAFileThatExists) {
  ScriptRunner runner;  // an empty package directory
  EXPECT_EQ(Run(runner, "[Main]\nIsCurrentFileOlder missing = none.dll\n"), status::kOk);
  EXPECT_EQ(runner.Variable("missing"), "1");

  EXPECT_EQ(Run(runner, "[Main]\nIsCurrentFileOlder present = a.dll\n"),
            status::kNoDirectoryRecord);
  EXPECT_EQ(runner.Variable("present"), std::nullopt);
  EXPECT_FALSE(MainStopped(runner));
}

TEST_F(FileProbes, IsFileLockedWhenACopyOverTheFileWouldFail) {
  const struct {
    const char* what;
    const char* name;
    std::optional<DWORD> held_with_share;
    const char* locked;
  } cases[] = {
      {"free", "a.dll", std::nullopt, "0"},
      {"missing", "none.dll", std::nullopt, "0"},
      {"held, writing not shared", "a.dll", FILE_SHARE_READ, "1"},
      {"held for reading, writing shared", "a.dll", FILE_SHARE_READ | FILE_SHARE_WRITE, "0"},
      {"a folder", "sub", std::nullopt, "1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::optional<HeldFile> held;
    if (c.held_with_share) {
      held.emplace(folder_ / c.name, *c.held_with_share);
      ASSERT_TRUE(held->IsHeld());
    }
    ScriptRunner runner;
    EXPECT_EQ(Run(runner, std::string("[Main]\nIsFileLocked locked = ") + c.name + "\n"),
              status::kOk);
    EXPECT_EQ(runner.Variable("locked"), c.locked);
  }
}

TEST_F(FileProbes, IsFileLockedWithoutAnOutVariableStopsTheSection) {
  ScriptRunner runner;
  EXPECT_EQ(Run(runner, "[Main]\nIsFileLocked a.dll\n"), status::kNowhereToPutValue);
  EXPECT_TRUE(MainStopped(runner));
}

TEST(WaitInSteps, SleepsAtMostASecondAtATimeUntilReadyOrTimedOut) {
  const struct {
    std::uint32_t timeout;
    int ready_at_probe;  // 0: never ready
    std::vector<std::uint32_t> sleeps;
  } cases[] = {
      {2500, 0, {1000, 1000, 500}},
      {3000, 0, {1000, 1000, 1000}},
      {999, 0, {999}},
      {0, 0, {}},
      {2500, 2, {1000, 1000}},
      {2500, 1, {1000}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.timeout << " ms, ready at probe " << c.ready_at_probe);
    std::vector<std::uint32_t> sleeps;
    int probes = 0;
    install::WaitInSteps(
        c.timeout, [&] { return ++probes == c.ready_at_probe; },
        [&](std::uint32_t ms) { sleeps.push_back(ms); });
    EXPECT_EQ(sleeps, c.sleeps);
    EXPECT_EQ(probes, static_cast<int>(sleeps.size()));  // one probe after each sleep
  }
}

// Real waits, bounded generously: the steps themselves are checked above.
TEST_F(FileProbes, WaitTillUnlockedReturnsWhenTheFileIsFreeOrTheTimeIsUp) {
  using Clock = std::chrono::steady_clock;
  const struct {
    const char* what;
    const char* argument;
    bool held;
    bool released_while_waiting;
    const char* locked_after;
  } cases[] = {
      {"free file", "a.dll, 30000", false, false, "0"},
      {"no file name", ", 30000", true, false, "1"},
      {"no digits in the time-out", "a.dll, soon", true, false, "1"},
      {"let go while waiting", "a.dll, 30000", true, true, "0"},
      {"held past the time-out", "a.dll, 1500", true, false, "1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    HeldFile held(c.held ? folder_ / "a.dll" : folder_ / "no-such-file", FILE_SHARE_READ);
    ASSERT_EQ(held.IsHeld(), c.held);
    std::thread releaser;
    if (c.released_while_waiting) {
      releaser = std::thread([&held] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        held.Release();
      });
    }
    ScriptRunner runner;
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(Run(runner, std::string("[Main]\nWaitTillUnlocked ") + c.argument +
                              "\nIsFileLocked locked = a.dll\n"),
              status::kOk);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(15));
    if (releaser.joinable())
      releaser.join();
    EXPECT_EQ(runner.Variable("locked"), c.locked_after);
  }
}

TEST_F(FileProbes, CanAllFilesBeCopiedSetsDirectCopyModeByTheFirstLockedFile) {
  const struct {
    const char* what;
    const char* argument;
    bool mode_before;
    bool reboot_not_needed_before;
    bool mode_after;
    bool reboot_not_needed_after;
    std::optional<std::string> out;
  } cases[] = {
      // b.dll is held without write sharing throughout.
      {"a bare list changes nothing", "a.dll, b.dll", false, true, false, true, std::nullopt},
      // c.dll is free: had it been tested, the mode would be back to 1.
      {"a locked second file", "ok = a.dll, b.dll, c.dll", true, true, false, false, "0"},
      {"every file free", "ok = a.dll, c.dll, none.dll", false, false, true, false, "1"},
      {"an empty item ends the list", "ok = a.dll,, b.dll", false, true, true, true, "1"},
      {"an empty list reports the mode", "ok =", false, true, false, true, "0"},
  };
  const HeldFile held(folder_ / "b.dll", FILE_SHARE_READ);
  ASSERT_TRUE(held.IsHeld());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptRunner runner;
    runner.state.direct_copy_mode = c.mode_before;
    runner.state.reboot_not_needed = c.reboot_not_needed_before;
    EXPECT_EQ(Run(runner, std::string("[Main]\nCanAllFilesBeCopied ") + c.argument + "\n"),
              status::kOk);
    EXPECT_EQ(runner.state.direct_copy_mode, c.mode_after);
    EXPECT_EQ(runner.state.reboot_not_needed, c.reboot_not_needed_after);
    EXPECT_EQ(runner.Variable("ok"), c.out);
  }
}

}  // namespace

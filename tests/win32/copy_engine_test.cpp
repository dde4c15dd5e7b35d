// The steps of the installing commands on real files: backup, copy into place, clearing a
// destination in use.

#include "install/copy_engine.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "install_test_files.h"
#include "log/messages.h"
#include "pending_renames.h"
#include "platform/file.h"
#include "platform/filesystem.h"
#include "recording_reporter.h"
#include "script/run_state.h"
#include "script/script_context.h"
#include "shell/run/command_handlers.h"
#include "test_support.h"

namespace {

using test_support::HeldFile;
using test_support::ModificationTime;
using test_support::ReadFileBytes;
using test_support::Stamp;
using test_support::WriteFileBytes;
using Bytes = std::vector<std::uint8_t>;
using Report = test_support::RecordingReporter::Report;

// The share mode a test holds a file open with; none: not held.
using Holding = std::optional<DWORD>;
constexpr Holding kNotHeld;

// Holds path open as a running program would, when holding says so.
void Hold(std::optional<HeldFile>& held, const std::string& path, Holding holding) {
  if (holding) {
    held.emplace(path, *holding);
    ASSERT_TRUE(held->IsHeld());
  }
}

Bytes Pattern(std::size_t size, std::uint8_t seed) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<std::uint8_t>(seed + i * 7 + i / 251);
  return bytes;
}

// The names in folder, sorted: a replacement leaves no file of its own behind.
std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  platform::ListFolder(folder, [&names](const platform::FolderEntry& entry) {
    names.push_back(entry.name);
    return true;
  });
  std::sort(names.begin(), names.end());
  return names;
}

// One context per case, over its own folders "app" and "backup".
struct Case {
  Case() {
    platform::CreateFolder(app);
    platform::CreateFolder(backups);
    context.backup_directory = backups;
  }

  test_support::ScratchFolder scratch;
  std::string app = scratch / "app";
  std::string backups = scratch / "backup";
  test_support::RecordingReporter reporter;
  script::RunState state;
  script::ScriptContext context{{reporter, state, shell::CommandHandlers()}};
};

TEST(BackupFileTest, CopiesTheDestinationWithItsModificationTime) {
  enum class Folder { kSet, kNotSet, kMissing };
  const struct {
    const char* what;
    bool destination_exists;
    Folder folder;
    Holding held_with;
    Status status;
    bool backed_up;
  } cases[] = {
      {"an existing file replaces an earlier backup of its name", true, Folder::kSet, kNotHeld, 0,
       true},
      {"no destination, nothing to back up", false, Folder::kSet, kNotHeld, 0, false},
      {"no backup directory set, no backup", true, Folder::kNotSet, kNotHeld, 0, false},
      {"a backup directory that does not exist", true, Folder::kMissing, kNotHeld, 35, false},
      {"a destination held without sharing cannot be read", true, Folder::kSet, 0, 35, false},
  };
  // Several blocks of the backup's buffer, and shorter than the earlier backup.
  const Bytes content = Pattern(50000, 1);
  const Bytes earlier = Pattern(60000, 2);
  const package::TimeStamp modified = Stamp(2030, 1, 2, 3, 4, 6);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Case run;
    const std::string destination = run.app + "\\engine.dll";
    const std::string backup = run.backups + "\\engine.dll";
    ASSERT_TRUE(WriteFileBytes(backup, earlier));
    if (c.destination_exists) {
      ASSERT_TRUE(WriteFileBytes(destination, content));
      ASSERT_TRUE(package::SetFileTimeStamp(destination, modified));
    }
    if (c.folder == Folder::kNotSet)
      run.context.backup_directory.clear();
    if (c.folder == Folder::kMissing)
      run.context.backup_directory = run.scratch / "missing";
    std::optional<HeldFile> held;
    Hold(held, destination, c.held_with);

    std::string made = "stale";
    EXPECT_EQ(install::BackupFile(run.context, destination, &made), c.status);
    held.reset();

    const std::string expected_backup = run.context.backup_directory + "\\engine.dll";
    EXPECT_EQ(made, c.backed_up ? expected_backup : "");
    EXPECT_EQ(ReadFileBytes(backup), c.backed_up ? content : earlier);
    if (c.backed_up) {
      EXPECT_EQ(ModificationTime(backup), modified);
    }
    // The backup path is logged once it is known, before anything is opened.
    const bool logged = c.destination_exists && c.folder != Folder::kNotSet;
    const std::vector<Report> expected_reports =
        logged ? std::vector<Report>{{Report::kLog, message::kBackingUp, expected_backup}}
               : std::vector<Report>{};
    EXPECT_EQ(run.reporter.reports, expected_reports);
    if (c.destination_exists) {
      EXPECT_EQ(ReadFileBytes(destination), content);
    }
  }
}

TEST(CopyIntoPlaceTest, DestinationEndsExactlyAsTheSourceWithItsTimes) {
  const struct {
    const char* what;
    std::size_t old_size;  // 0: no destination
    std::size_t new_size;
  } cases[] = {
      {"a larger old file leaves no tail", 30000, 12345},
      {"a smaller old file, several blocks", 100, 25000},
      {"an empty source empties the destination", 500, 0},
      {"a missing destination is created", 0, 5000},
  };
  const package::TimeStamp package_time = Stamp(2004, 5, 6, 7, 8, 10);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Case run;
    const std::string source = run.scratch / "source.dll";
    const std::string destination = run.app + "\\engine.dll";
    ASSERT_TRUE(WriteFileBytes(source, Pattern(c.new_size, 3)));
    ASSERT_TRUE(package::SetFileTimeStamp(source, package_time));
    if (c.old_size > 0) {
      ASSERT_TRUE(WriteFileBytes(destination, Pattern(c.old_size, 4)));
      ASSERT_TRUE(package::SetFileTimeStamp(destination, Stamp(2030, 1, 1, 0, 0, 0)));
    }

    if (c.old_size > 0) {
      ASSERT_TRUE(::SetFileAttributesA(destination.c_str(), FILE_ATTRIBUTE_HIDDEN));
    }

    EXPECT_EQ(install::CopyIntoPlace(run.context, destination, source), 0);
    EXPECT_EQ(ReadFileBytes(destination), Pattern(c.new_size, 3));
    EXPECT_EQ(FolderNames(run.app), std::vector<std::string>{"engine.dll"});
    // The old file's attributes stay with its name.
    EXPECT_EQ(::GetFileAttributesA(destination.c_str()) & FILE_ATTRIBUTE_HIDDEN,
              c.old_size > 0 ? FILE_ATTRIBUTE_HIDDEN : 0u);
    // The package's time, also as creation time, even over a newer file.
    EXPECT_EQ(ModificationTime(destination), package_time);
    EXPECT_TRUE(test_support::CreatedWhenWritten(destination));
    EXPECT_EQ(run.reporter.reports,
              (std::vector<Report>{{Report::kProgress, message::kReplacingFile, destination},
                                   {Report::kLog, message::kReplacingFile, destination}}));
    EXPECT_TRUE(run.state.direct_copy_mode);
    EXPECT_TRUE(run.state.reboot_not_needed);
  }
}

// A copy of a megabyte or more tells, as it goes, how far it has come: each percent once, up to the
// whole. The log keeps its one line.
TEST(CopyIntoPlaceTest, LargeCopyReportsHowFarItHasCome) {
  Case run;
  const std::string source = run.scratch / "big.bin";
  const std::string destination = run.app + "\\big.bin";
  ASSERT_TRUE(WriteFileBytes(source, Pattern(3 * 1024 * 1024 + 5, 9)));

  ASSERT_EQ(install::CopyIntoPlace(run.context, destination, source), 0);
  EXPECT_EQ(ReadFileBytes(destination), Pattern(3 * 1024 * 1024 + 5, 9));
  const std::vector<Report>& reports = run.reporter.reports;
  ASSERT_GE(reports.size(), 4u);
  EXPECT_EQ(reports[0], (Report{Report::kProgress, message::kReplacingFile, destination}));
  EXPECT_EQ(reports[1], (Report{Report::kLog, message::kReplacingFile, destination}));
  int previous = 0;
  for (std::size_t i = 2; i < reports.size(); ++i) {
    ASSERT_EQ(reports[i].kind, Report::kProgress) << reports[i].text;
    ASSERT_EQ(reports[i].text.rfind(destination + " (", 0), 0u) << reports[i].text;
    const int percent = std::stoi(reports[i].text.substr(destination.size() + 2));
    EXPECT_GT(percent, previous) << reports[i].text;
    previous = percent;
  }
  EXPECT_EQ(reports.back().text, destination + " (100%)");
}

TEST(CopyIntoPlaceTest, DestinationInUseIs33AndSwitchesToReplacementAtRestart) {
  const struct {
    const char* what;
    bool source_exists;
    bool destination_exists;
    Holding held_with;
    Status status;
  } cases[] = {
      {"a destination another program reads", true, true, FILE_SHARE_READ, 33},
      {"no source: nothing is copied", false, true, kNotHeld, 0},
      {"no source and no destination: nothing is made", false, false, kNotHeld, 0},
  };
  const Bytes old_content = Pattern(700, 5);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Case run;
    const std::string source = run.scratch / "source.dll";
    const std::string destination = run.app + "\\engine.dll";
    if (c.source_exists) {
      ASSERT_TRUE(WriteFileBytes(source, Pattern(900, 6)));
    }
    if (c.destination_exists) {
      ASSERT_TRUE(WriteFileBytes(destination, old_content));
    }
    std::optional<HeldFile> held;
    Hold(held, destination, c.held_with);

    EXPECT_EQ(install::CopyIntoPlace(run.context, destination, source), c.status);
    held.reset();
    EXPECT_EQ(platform::IsFile(destination), c.destination_exists);
    if (c.destination_exists) {
      EXPECT_EQ(ReadFileBytes(destination), old_content);
    }
    EXPECT_TRUE(run.reporter.reports.empty());
    const bool in_use = c.status == 33;
    EXPECT_EQ(run.state.direct_copy_mode, !in_use);
    EXPECT_EQ(run.state.reboot_not_needed, !in_use);
  }
}

// A file of the system's that claims more bytes than it gives: reading it ends short part-way,
// as a failing disk would.
std::string ShortReadingFile() {
  const std::string path = test_support::SystemPath("/sys/devices/system/cpu/online");
  platform::File file = platform::File::OpenExisting(path, platform::OpenMode::kReadShareRead);
  const std::int64_t size = file.Size();
  file.Seek(0, platform::SeekOrigin::kBegin);
  Bytes bytes(size > 0 ? static_cast<std::size_t>(size) : 0);
  if (bytes.empty() || file.Read(bytes.data(), static_cast<std::uint32_t>(size)) >= size)
    return {};
  return path;
}

TEST(CopyIntoPlaceTest, CopyFailingPartWayLeavesTheDestinationAsItWas) {
  const std::string source = ShortReadingFile();
  if (source.empty())
    GTEST_SKIP() << "no file that reads shorter than its size";
  const Bytes old_content = Pattern(30000, 7);
  const package::TimeStamp old_time = Stamp(2003, 3, 3, 3, 3, 4);
  for (const bool destination_exists : {true, false}) {
    SCOPED_TRACE(destination_exists ? "an old file stays whole" : "no file is made");
    Case run;
    const std::string destination = run.app + "\\engine.dll";
    if (destination_exists) {
      ASSERT_TRUE(WriteFileBytes(destination, old_content));
      ASSERT_TRUE(package::SetFileTimeStamp(destination, old_time));
    }

    EXPECT_EQ(install::CopyIntoPlace(run.context, destination, source), status::kReadFailed);
    EXPECT_EQ(FolderNames(run.app), destination_exists ? std::vector<std::string>{"engine.dll"}
                                                       : std::vector<std::string>{});
    if (destination_exists) {
      EXPECT_EQ(ReadFileBytes(destination), old_content);
      EXPECT_EQ(ModificationTime(destination), old_time);
    }
    EXPECT_TRUE(run.state.direct_copy_mode);
  }
}

// A program that reads a file and lets others write it, but not rename it, keeps the file from
// being replaced whole: it is written in place from the complete new content instead.
TEST(CopyIntoPlaceTest, FileHeldWithoutRenameSharingIsWrittenInPlace) {
  Case run;
  const std::string source = run.scratch / "source.dll";
  const std::string destination = run.app + "\\engine.dll";
  ASSERT_TRUE(WriteFileBytes(source, Pattern(25000, 6)));
  ASSERT_TRUE(WriteFileBytes(destination, Pattern(40000, 5)));
  std::optional<HeldFile> held;
  Hold(held, destination, FILE_SHARE_READ | FILE_SHARE_WRITE);

  EXPECT_EQ(install::CopyIntoPlace(run.context, destination, source), 0);
  held.reset();
  EXPECT_EQ(ReadFileBytes(destination), Pattern(25000, 6));
  EXPECT_EQ(FolderNames(run.app), std::vector<std::string>{"engine.dll"});
  EXPECT_TRUE(run.state.direct_copy_mode);
}

TEST(ClearDestinationTest, MovesAsideWhatIsInUseAndQueuesItForDeletion) {
  const struct {
    const char* what;
    bool exists;
    Holding held_with;
    bool cleared;
  } cases[] = {
      {"no destination", false, kNotHeld, true},
      {"a free destination stays for the copy to replace", true, kNotHeld, true},
      // A loaded program file is held like this: it cannot be written, but it can be renamed.
      {"one in use is moved to the next free number", true, FILE_SHARE_READ | FILE_SHARE_DELETE,
       true},
      {"one that cannot be renamed either stays", true, FILE_SHARE_READ, false},
  };
  const Bytes content = Pattern(2000, 9);
  const Bytes taken = Pattern(10, 10);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Case run;
    test_support::PendingRenames pending(run.scratch.path());
    const std::string destination = run.app + "\\engine.dll";
    const std::string first = run.app + "\\engine.1";
    const std::string second = run.app + "\\engine.2";
    ASSERT_TRUE(WriteFileBytes(first, taken));
    if (c.exists) {
      ASSERT_TRUE(WriteFileBytes(destination, content));
    }
    std::optional<HeldFile> held;
    Hold(held, destination, c.held_with);

    EXPECT_EQ(install::ClearDestination(destination), c.cleared);
    const bool moved = c.cleared && c.held_with.has_value();
    EXPECT_EQ(platform::IsFile(destination), c.exists && !moved);
    EXPECT_EQ(ReadFileBytes(first), taken);
    EXPECT_EQ(platform::IsFile(second), moved);
    const test_support::PendingRenames::Pairs queued =
        moved ? test_support::PendingRenames::Pairs{{test_support::SystemForm(second), ""}}
              : test_support::PendingRenames::Pairs{};
    EXPECT_EQ(pending.Ours(), queued);
    held.reset();
    if (moved) {
      EXPECT_EQ(ReadFileBytes(second), content);
    }
  }
}

}  // namespace

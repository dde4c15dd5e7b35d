// The journal that lets a run after an interrupted one keep the backups holding the versions from
// before the interrupted update.

#include "script/backup_journal.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/filesystem.h"
#include "test_support.h"

namespace {

using test_support::ReadFileBytes;
using test_support::WriteFileBytes;
using Bytes = std::vector<std::uint8_t>;

Bytes Text(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

class BackupJournalTest : public ::testing::Test {
 protected:
  BackupJournalTest() {
    WriteFileBytes(backup_, Text("old engine"));
    WriteFileBytes(other_backup_, Text("old readme"));
  }

  test_support::ScratchFolder scratch_;
  std::string folder_ = scratch_.path();
  std::string journal_ = scratch_ / "ORQBACK.JNL";
  std::string destination_ = "C:\\Product\\engine.dll";
  std::string backup_ = scratch_ / "engine.dll";
  std::string other_destination_ = "C:\\Product\\readme.txt";
  std::string other_backup_ = scratch_ / "readme.txt";
};

// A run that is killed leaves its journal; the next run keeps the backups it names, carries them
// on in its own journal, and removes the journal when it ends.
TEST_F(BackupJournalTest, RunAfterAKilledRunKeepsItsBackups) {
  Bytes left_behind;
  {
    script::BackupJournal killed;
    EXPECT_FALSE(killed.KeptFromInterruptedRun(folder_, destination_, backup_));
    ASSERT_TRUE(killed.Record(folder_, destination_, backup_));
    left_behind = ReadFileBytes(journal_);
  }
  EXPECT_FALSE(platform::IsFile(journal_)) << "a run that ends removes its journal";
  ASSERT_TRUE(WriteFileBytes(journal_, left_behind));  // as the killed run left it

  {
    script::BackupJournal rerun;
    // Any spelling of the same paths.
    EXPECT_TRUE(rerun.KeptFromInterruptedRun(folder_, "c:\\PRODUCT\\Engine.DLL", backup_));
    EXPECT_FALSE(rerun.KeptFromInterruptedRun(folder_, other_destination_, other_backup_));
    ASSERT_TRUE(rerun.Record(folder_, other_destination_, other_backup_));
    left_behind = ReadFileBytes(journal_);
  }
  EXPECT_FALSE(platform::IsFile(journal_));
  ASSERT_TRUE(WriteFileBytes(journal_, left_behind));  // the rerun was killed too

  script::BackupJournal third;
  EXPECT_TRUE(third.KeptFromInterruptedRun(folder_, destination_, backup_));
  EXPECT_TRUE(third.KeptFromInterruptedRun(folder_, other_destination_, other_backup_));
}

TEST_F(BackupJournalTest, EntriesThatCannotBeTrustedAreNotTaken) {
  const struct {
    const char* what;
    std::string journal;
    bool backup_there;
    bool kept;
  } cases[] = {
      {"a whole entry", destination_ + "\t" + backup_ + "\r\n", true, true},
      {"a line ending in LF alone", destination_ + "\t" + backup_ + "\n", true, true},
      {"a last line cut before its end", destination_ + "\t" + backup_, true, false},
      {"a backup that is gone", destination_ + "\t" + backup_ + "\r\n", false, false},
      {"another backup path", destination_ + "\t" + other_backup_ + "\r\n", true, false},
      {"no journal", "", true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    platform::RemoveFile(journal_);
    if (!c.journal.empty()) {
      ASSERT_TRUE(WriteFileBytes(journal_, Text(c.journal)));
    }
    if (!c.backup_there) {
      platform::RemoveFile(backup_);
    }
    {
      script::BackupJournal journal;
      EXPECT_EQ(journal.KeptFromInterruptedRun(folder_, destination_, backup_), c.kept);
      // What this run records stands on a line of its own, whatever the last line was.
      ASSERT_TRUE(journal.Record(folder_, other_destination_, other_backup_));
      const Bytes now = ReadFileBytes(journal_);
      const std::string ours = other_destination_ + "\t" + other_backup_ + "\r\n";
      ASSERT_GE(now.size(), ours.size());
      EXPECT_EQ(std::string(now.end() - ours.size(), now.end()), ours);
      EXPECT_TRUE(now.size() == ours.size() || now[now.size() - ours.size() - 1] == '\n');
    }
    EXPECT_FALSE(platform::IsFile(journal_));
    WriteFileBytes(backup_, Text("old engine"));
  }
}

}  // namespace

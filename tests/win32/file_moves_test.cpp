// Renames now and at restart, each family's way chosen explicitly, whatever family runs the tests:
// the 9x family's lines read back from the prefix's WININIT.INI, the NT family's delayed moves from
// the system's list.

#include "platform/win32/file_moves.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "base/ascii_case.h"
#include "install_test_files.h"
#include "pending_renames.h"
#include "platform/filesystem.h"
#include "platform/short_path.h"
#include "saved_wininit.h"
#include "test_support.h"

namespace {

using platform::SystemFamily;
using test_support::HeldFile;
using test_support::PendingRenames;
using test_support::SavedWininit;
using test_support::ScratchFolder;
using test_support::SystemForm;
using Pairs = PendingRenames::Pairs;

constexpr SystemFamily kFamilies[] = {SystemFamily::kNt, SystemFamily::kNine};

const char* FamilyName(SystemFamily family) {
  return family == SystemFamily::kNine ? "9x family" : "NT family";
}

std::string ReadText(const std::string& path) {
  const auto bytes = test_support::ReadFileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

// WININIT.INI as a test finds it: its other sections and lines must survive the additions.
const std::string kWininitBefore = "[Other]\r\nX=Y\r\n[rename]\r\nA=B\r\n[Last]\r\nZ=1\r\n";

// kWininitBefore with lines added at the end of its "[rename]" section.
std::string WininitWith(const std::string& lines) {
  return "[Other]\r\nX=Y\r\n[rename]\r\nA=B\r\n" + lines + "[Last]\r\nZ=1\r\n";
}

TEST(FileMoves, RenameNowGivesBothFamiliesTheSameOutcome) {
  const struct {
    const char* what;
    const char* from;  // a.txt holds "a"
    const char* to;
    bool to_exists;  // holding "old"
    bool to_held;    // open without delete sharing, as a running program may hold it
    bool replace;
    bool renamed;
  } cases[] = {
      {"new name", "a.txt", "b.txt", false, false, false, true},
      {"new name, replace asked", "a.txt", "b.txt", false, false, true, true},
      {"existing target kept", "a.txt", "b.txt", true, false, false, false},
      {"existing target replaced", "a.txt", "b.txt", true, false, true, true},
      {"target in use stays", "a.txt", "b.txt", true, true, true, false},
      {"missing source leaves the target", "missing.txt", "b.txt", true, false, true, false},
      {"the same file in other letters", "a.txt", "A.TXT", false, false, true, true},
  };
  for (const SystemFamily family : kFamilies) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(FamilyName(family)) + ": " + c.what);
      ScratchFolder folder;
      ASSERT_TRUE(test_support::WriteFileText(folder / "a.txt", "a"));
      if (c.to_exists) {
        ASSERT_TRUE(test_support::WriteFileText(folder / c.to, "old"));
      }
      std::optional<HeldFile> held;
      if (c.to_held)
        held.emplace(folder / c.to, FILE_SHARE_READ | FILE_SHARE_WRITE);

      EXPECT_EQ(platform::RenameNow(folder / c.from, folder / c.to, c.replace, family), c.renamed);
      held.reset();
      if (c.renamed) {
        EXPECT_EQ(ReadText(folder / c.to), "a");
        // The one file left, under the new name (the system may keep the old letter case).
        std::string listed;
        platform::ListFolder(folder.path(), [&](const platform::FolderEntry& entry) {
          listed += entry.name;
          return true;
        });
        EXPECT_TRUE(base::EqualsIgnoringCase(listed, c.to)) << listed;
      } else {
        EXPECT_EQ(ReadText(folder / "a.txt"), "a");
        EXPECT_EQ(ReadText(folder / c.to), c.to_exists ? "old" : "");
      }
    }
  }
}

TEST(FileMoves, DeleteAtRestartQueuesTheFamilysWay) {
  for (const SystemFamily family : kFamilies) {
    SCOPED_TRACE(FamilyName(family));
    ScratchFolder folder;
    SavedWininit wininit;
    PendingRenames pending(folder.path());
    ASSERT_TRUE(wininit.Write(kWininitBefore));
    const std::string path = folder / "Engine Library.dll";
    ASSERT_TRUE(test_support::WriteFileText(path, "old"));

    EXPECT_EQ(platform::DeleteAtRestart(path, family), status::kOk);
    EXPECT_TRUE(platform::IsFile(path));
    if (family == SystemFamily::kNine) {
      const std::string short_path = platform::ShortPathName(path);
      ASSERT_EQ(short_path.find(' '), std::string::npos) << short_path;
      EXPECT_EQ(wininit.Text(), WininitWith("NUL=" + short_path + "\r\n"));
      EXPECT_EQ(pending.Ours(), Pairs{});
    } else {
      EXPECT_EQ(wininit.Text(), kWininitBefore);
      EXPECT_EQ(pending.Ours(), (Pairs{{SystemForm(path), ""}}));
    }
  }
}

TEST(FileMoves, MoveAtRestartQueuesTheDeletionOfTheTargetThenTheMove) {
  for (const SystemFamily family : kFamilies) {
    for (const bool target_exists : {true, false}) {
      SCOPED_TRACE(std::string(FamilyName(family)) +
                   (target_exists ? ", target exists" : ", new target"));
      ScratchFolder folder;
      SavedWininit wininit;
      PendingRenames pending(folder.path());
      ASSERT_TRUE(wininit.Write(kWininitBefore));
      const std::string from = folder / "Engine Library.1";
      const std::string to = folder / "Engine Library.dll";
      ASSERT_TRUE(test_support::WriteFileText(from, "new"));
      if (target_exists) {
        ASSERT_TRUE(test_support::WriteFileText(to, "old"));
      }

      EXPECT_EQ(platform::MoveAtRestart(from, to, family), status::kOk);
      EXPECT_EQ(ReadText(from), "new");
      // A new target was stood in for by a placeholder while its short name was asked.
      EXPECT_EQ(platform::IsFile(to), target_exists);
      if (family == SystemFamily::kNt) {
        EXPECT_EQ(wininit.Text(), kWininitBefore);
        EXPECT_EQ(pending.Ours(),
                  (Pairs{{SystemForm(to), ""}, {SystemForm(from), SystemForm(to)}}));
        continue;
      }
      EXPECT_EQ(pending.Ours(), Pairs{});
      const std::string short_from = platform::ShortPathName(from);
      const std::string short_folder = platform::ShortPathName(folder.path()) + "\\";
      std::string short_to = platform::ShortPathName(to);
      if (!target_exists) {
        // Read back from the deletion line: the name is not there to be asked again.
        const std::string text = wininit.Text();
        const std::size_t start = text.find("NUL=" + short_folder);
        ASSERT_NE(start, std::string::npos) << text;
        short_to = text.substr(start + 4, text.find("\r\n", start) - start - 4);
      }
      ASSERT_EQ(short_to.rfind(short_folder, 0), 0u) << short_to;
      ASSERT_EQ(short_to.find(' '), std::string::npos) << short_to;
      ASSERT_EQ(short_from.find(' '), std::string::npos) << short_from;
      EXPECT_EQ(wininit.Text(),
                WininitWith("NUL=" + short_to + "\r\n" + short_to + "=" + short_from + "\r\n"));
    }
  }
}

// A target whose short name cannot be had (its folder does not exist) keeps its long path, too
// long for a line: nothing is written rather than a line the 9x start-up would cut.
TEST(FileMoves, NineWritesNoLineTooLongForTheStartUp) {
  ScratchFolder folder;
  SavedWininit wininit;
  ASSERT_TRUE(wininit.Write(kWininitBefore));
  const std::string from = folder / "a.1";
  ASSERT_TRUE(test_support::WriteFileText(from, "new"));
  std::string to = folder / "missing\\";
  to.append(255 - to.size() - 6, 'x').append("\\a.dll");
  ASSERT_EQ(to.size(), 255u);  // "NUL=" and CR LF make 261

  EXPECT_EQ(platform::MoveAtRestart(from, to, SystemFamily::kNine), status::kLineTooLong);
  EXPECT_EQ(wininit.Text(), kWininitBefore);
}

// The NT family refuses every delayed operation while its list cannot be written: 45, and nothing
// is queued.
TEST(FileMoves, NtRefusalIsNoRights) {
  ScratchFolder folder;
  PendingRenames pending(folder.path());
  const std::string from = folder / "a.1";
  const std::string to = folder / "a.dll";
  ASSERT_TRUE(test_support::WriteFileText(from, "new"));
  ASSERT_TRUE(test_support::WriteFileText(to, "old"));
  {
    test_support::RefusedDelayedOperations refused;
    EXPECT_EQ(platform::DeleteAtRestart(to, SystemFamily::kNt), status::kNoRights);
    EXPECT_EQ(platform::MoveAtRestart(from, to, SystemFamily::kNt), status::kNoRights);
  }
  EXPECT_EQ(pending.Ours(), Pairs{});
}

}  // namespace

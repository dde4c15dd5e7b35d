#include "package/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/path.h"
#include "package/runtime_random.h"
#include "platform/filesystem.h"
#include "platform/system.h"
#include "test_package.h"
#include "test_support.h"

namespace {

using test_package::FolderNames;
using Names = std::vector<std::string>;

TEST(TempFolderNameTest, UpperCaseHexWithoutLeadingZeros) {
  EXPECT_EQ(package::TempFolderName(0), "0");
  EXPECT_EQ(package::TempFolderName(0xA), "A");
  EXPECT_EQ(package::TempFolderName(0x0ABC), "ABC");
  EXPECT_EQ(package::TempFolderName(32767), "7FFF");
  EXPECT_EQ(package::TempFolderName(0xFFFFFFFFu), "FFFFFFFF");
}

// The generator must give the runtime library's sequence on every platform.
TEST(RuntimeRandomTest, FollowsTheRuntimeSequence) {
  package::RuntimeRandom one(1);
  std::vector<unsigned> values;
  for (int i = 0; i < 5; ++i)
    values.push_back(one.Next());
  EXPECT_EQ(values, (std::vector<unsigned>{41, 18467, 6334, 26500, 19169}));
  package::RuntimeRandom zero(0);
  EXPECT_EQ(zero.Next(), 38u);
}

class TempFolderTest : public ::testing::Test {
 protected:
  test_support::ScratchFolder root_;
};

TEST_F(TempFolderTest, CreatesANewFolderInTheParent) {
  std::string folder;
  ASSERT_TRUE(package::CreateTempFolder(root_.path(), folder, 260));
  std::string parent = folder;
  ASSERT_TRUE(base::StripFileName(parent));
  EXPECT_EQ(parent, root_.path());
  const std::string name = base::FileNameOf(folder);
  EXPECT_TRUE(name.size() >= 1 && name.size() <= 4) << name;
  EXPECT_EQ(name.find_first_not_of("0123456789ABCDEF"), std::string::npos) << name;
  EXPECT_TRUE(name == "0" || name[0] != '0') << name;
  EXPECT_TRUE(platform::IsFolder(folder));
}

// Names the time-seeded generator is about to give are taken already: each holds a file, and the
// new folder must be none of them.
TEST_F(TempFolderTest, ExistingFolderIsNeverReused) {
  Names taken;
  const std::int64_t now = platform::CurrentTime();
  for (std::int64_t seed = now; seed <= now + 2; ++seed) {
    package::RuntimeRandom random(static_cast<std::uint32_t>(seed));
    for (int draw = 0; draw < 3; ++draw) {
      const std::string name = package::TempFolderName(random.Next());
      if (platform::CreateFolder(root_ / name) == platform::CreateFolderResult::kCreated) {
        ASSERT_TRUE(test_support::WriteFileText(root_ / (name + "\\owner.txt"), "someone else"));
        taken.push_back(name);
      }
    }
  }

  std::string first;
  std::string second;
  ASSERT_TRUE(package::CreateTempFolder(root_.path(), first, 260));
  ASSERT_TRUE(package::CreateTempFolder(root_.path(), second, 260));
  EXPECT_NE(first, second);
  for (const std::string& folder : {first, second}) {
    EXPECT_EQ(std::count(taken.begin(), taken.end(), base::FileNameOf(folder)), 0) << folder;
    EXPECT_EQ(FolderNames(folder), Names{});
  }
}

TEST_F(TempFolderTest, FolderPathMustFitItsCapacity) {
  std::string folder = "unchanged";
  // Not even the directory, "\" and one digit fit.
  EXPECT_FALSE(package::CreateTempFolder(root_.path(), folder, root_.path().size() + 2));
  EXPECT_EQ(folder, "unchanged");
  EXPECT_EQ(FolderNames(root_.path()), Names{});
}

TEST_F(TempFolderTest, RemoveTempFolderDeletesTheWholeTree) {
  const std::string flat = root_ / "A1";
  const std::string nested = root_ / "B2";
  for (const std::string& folder : {flat, nested}) {
    ASSERT_EQ(platform::CreateFolder(folder), platform::CreateFolderResult::kCreated);
    ASSERT_TRUE(test_support::WriteFileText(folder + "\\one.txt", "1"));
    ASSERT_TRUE(test_support::WriteFileText(folder + "\\two.dll", "2"));
  }
  ASSERT_EQ(platform::CreateFolder(nested + "\\sub"), platform::CreateFolderResult::kCreated);
  ASSERT_EQ(platform::CreateFolder(nested + "\\sub\\deeper"),
            platform::CreateFolderResult::kCreated);
  ASSERT_TRUE(test_support::WriteFileText(nested + "\\sub\\three.txt", "3"));
  ASSERT_TRUE(test_support::WriteFileText(nested + "\\sub\\deeper\\four.txt", "4"));

  package::RemoveTempFolder(flat);
  package::RemoveTempFolder(nested);
  EXPECT_FALSE(platform::IsFolder(flat));
  EXPECT_FALSE(platform::IsFolder(nested));
  EXPECT_TRUE(platform::IsFolder(root_.path()));
}

TEST_F(TempFolderTest, WalkReportsEntriesWithoutEnteringSubfolders) {
  ASSERT_TRUE(test_support::WriteFileText(root_ / "file.txt", "12345"));
  ASSERT_EQ(platform::CreateFolder(root_ / "sub"), platform::CreateFolderResult::kCreated);
  ASSERT_TRUE(test_support::WriteFileText(root_ / "sub\\inner.txt", "x"));

  std::vector<package::WalkEntry> entries;
  ASSERT_TRUE(package::WalkDirectory(root_.path(), [&](const package::WalkEntry& entry) {
    entries.push_back(entry);
    return true;
  }));
  std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return a.name < b.name; });
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].name, "file.txt");
  EXPECT_EQ(entries[0].kind, 0);
  EXPECT_EQ(entries[0].size, 5u);
  EXPECT_EQ(entries[0].folder, root_.path());
  EXPECT_EQ(entries[0].attributes & platform::kAttrFolder, 0u);
  EXPECT_EQ(entries[1].name, "sub");
  EXPECT_EQ(entries[1].kind, 1);
  EXPECT_NE(entries[1].attributes & platform::kAttrFolder, 0u);
}

TEST_F(TempFolderTest, WalkStopsWhenTheCallbackSaysSo) {
  for (const char* name : {"a", "b", "c"})
    ASSERT_TRUE(test_support::WriteFileText(root_ / name, name));
  int calls = 0;
  EXPECT_TRUE(package::WalkDirectory(root_.path(), [&](const package::WalkEntry&) {
    ++calls;
    return false;
  }));
  EXPECT_EQ(calls, 1);
}

TEST_F(TempFolderTest, WalkStartsOnlyWithAFolderAndACallback) {
  int calls = 0;
  const auto count = [&](const package::WalkEntry&) { return ++calls, true; };
  EXPECT_FALSE(package::WalkDirectory("", count));
  EXPECT_FALSE(package::WalkDirectory(root_.path(), nullptr));
  EXPECT_FALSE(package::WalkDirectory(root_.path() + "\\" + std::string(510, 'x'), count));
  EXPECT_TRUE(package::WalkDirectory(root_ / "absent", count));  // nothing to report
  EXPECT_EQ(calls, 0);
}

// Only the host can hold a "?" in a name; such a name has no short alias there and is skipped.
TEST_F(TempFolderTest, WalkSkipsNamesWithoutARepresentableForm) {
  if (!test_support::WriteFileText(root_ / "what?.txt", "?"))
    GTEST_SKIP() << "no \"?\" in names";
  ASSERT_TRUE(test_support::WriteFileText(root_ / "plain.txt", "p"));
  Names names;
  ASSERT_TRUE(package::WalkDirectory(root_.path(), [&](const package::WalkEntry& entry) {
    names.push_back(entry.name);
    return true;
  }));
  EXPECT_EQ(names, Names{"plain.txt"});
}

}  // namespace

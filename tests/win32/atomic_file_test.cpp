// A new file made beside its target under a name of its own, and renamed onto it once whole.

#include "install/atomic_file.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "test_package.h"
#include "test_support.h"

namespace {

using test_support::ReadFileBytes;
using test_support::WriteFileBytes;
using Bytes = std::vector<std::uint8_t>;
using Names = std::vector<std::string>;

const Bytes kOld = {'o', 'l', 'd'};
const Bytes kNew = {'n', 'e', 'w', '!'};

TEST(AtomicFileTest, TargetHoldsTheOldFileOrTheWholeNewOne) {
  enum class End { kCommit, kCommitWithoutReplacing, kAbandon };
  const struct {
    const char* what;
    bool target_exists;
    End end;
    bool committed;
    std::optional<Bytes> target;  // none: no file
  } cases[] = {
      {"replaces an old file", true, End::kCommit, true, kNew},
      {"takes a free name", false, End::kCommit, true, kNew},
      {"takes a free name without replacing", false, End::kCommitWithoutReplacing, true, kNew},
      {"leaves an old file it may not replace", true, End::kCommitWithoutReplacing, false, kOld},
      {"abandoned, the old file stays", true, End::kAbandon, false, kOld},
      {"abandoned, no file is made", false, End::kAbandon, false, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test_support::ScratchFolder scratch;
    const std::string target = scratch / "engine.dll";
    if (c.target_exists) {
      ASSERT_TRUE(WriteFileBytes(target, kOld));
    }
    {
      install::AtomicFile file(target);
      ASSERT_TRUE(file.IsOpen());
      // Never the target itself, nor the name its last three characters replaced by "tmp" give.
      EXPECT_NE(file.path(), target);
      EXPECT_NE(file.path(), scratch / "engine.tmp");
      ASSERT_EQ(file.file().Write(kNew.data(), static_cast<std::uint32_t>(kNew.size())),
                kNew.size());
      if (c.end != End::kAbandon) {
        EXPECT_EQ(file.Commit(/*flush=*/true, FILE_ATTRIBUTE_HIDDEN,
                              /*replace_existing=*/c.end == End::kCommit),
                  c.committed);
      }
      // A commit that fails leaves the whole new file under its own name.
      if (c.end == End::kCommitWithoutReplacing && !c.committed) {
        EXPECT_EQ(ReadFileBytes(file.path()), kNew);
      }
    }
    EXPECT_EQ(test_package::FolderNames(scratch.path()), c.target ? Names{"engine.dll"} : Names{});
    if (c.target) {
      EXPECT_EQ(ReadFileBytes(target), *c.target);
      EXPECT_EQ((::GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_HIDDEN) != 0, c.committed);
    }
  }
}

// A folder that takes no new file: the file is not made, and there is nothing to commit.
TEST(AtomicFileTest, NoFileInAFolderThatDoesNotExist) {
  test_support::ScratchFolder scratch;
  install::AtomicFile file(scratch / "missing\\engine.dll");
  EXPECT_FALSE(file.IsOpen());
  EXPECT_FALSE(file.Commit(/*flush=*/false));
  EXPECT_EQ(test_package::FolderNames(scratch.path()), Names{});
}

}  // namespace

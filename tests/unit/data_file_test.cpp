#include "package/data_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "package/format.h"
#include "platform/filesystem.h"
#include "test_package.h"
#include "test_support.h"

namespace {

using test_package::Bytes;
using test_support::ReadFileBytes;

// The key table is part of the file format shared with the package builder: these values pin the
// recurrence and its constants.
TEST(ScrambleDataBytesTest, KeyOfKnownSeeds) {
  const struct {
    std::uint16_t seed;
    std::uint64_t position;
    Bytes key;
  } cases[] = {
      {0x0000, 52, {0x7D, 0xE2, 0xCB, 0x08, 0xA9, 0xFE, 0x97, 0x44}},
      {0xBEEF, 52, {0xC8, 0x69, 0xBE, 0x57, 0x04, 0xD5, 0x1A, 0x63}},
      {0xBEEF, 256, {0x7C, 0xAD, 0xD2, 0x7B}},  // the table repeats every 256 positions
      {0xFFFF, 256 + 52, {0x18, 0xF9, 0x8E, 0x67}},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.seed);
    Bytes bytes(test.key.size(), 0);
    package::ScrambleDataBytes(test.seed, test.position, bytes.data(), bytes.size());
    EXPECT_EQ(bytes, test.key);
  }
}

TEST(IsDefinitionDataFileTest, OnlyTheThreeNamesInAnyCase) {
  const struct {
    const char* path;
    bool expected;
  } cases[] = {
      {"C:\\defs\\DETECT.DAT", true},   {"C:\\defs\\detect.dat", true},
      {"C:\\REPAIR.DAT", true},         {"out\\sub\\Titles.Dat", true},
      {"C:\\defs\\XDETECT.DAT", false}, {"C:\\defs\\DETECT.DAT.BAK", false},
      {"C:\\defs\\DETECT.DA", false},   {"C:\\DETECT.DAT\\other.dat", false},
      {"C:\\defs\\_DETECT.DAT", false}, {"DETECT.DAT", true},
      {"XDETECT.DAT", false},
  };
  for (const auto& test : cases) {
    EXPECT_EQ(package::IsDefinitionDataFile(test.path), test.expected) << test.path;
  }
}

class UnscrambleDataFileTest : public ::testing::Test {
 protected:
  // A header of 52 bytes whose last two hold the seed, then size zero bytes: unscrambled, these
  // show the key itself.
  static Bytes ZerosAfterHeader(std::uint16_t seed, std::size_t size) {
    Bytes bytes(package::kDataFileHeaderSize + size, 0);
    for (std::size_t i = 0; i < package::kDataFileHeaderSize - 2; ++i)
      bytes[i] = 'H';
    package::WriteLe16(&bytes[package::kDataFileHeaderSize - 2], seed);
    return bytes;
  }

  test_support::ScratchFolder folder_;
  std::string path_ = folder_ / "DETECT.DAT";
};

TEST_F(UnscrambleDataFileTest, ReplaceLeavesTheUnscrambledFileUnderItsName) {
  const Bytes scrambled = ZerosAfterHeader(0xBEEF, 8);
  ASSERT_TRUE(test_support::WriteFileBytes(path_, scrambled));
  std::string path = path_;
  ASSERT_TRUE(package::UnscrambleDataFile(path, true));

  EXPECT_EQ(path, path_);
  Bytes expected(scrambled.begin(), scrambled.begin() + package::kDataFileHeaderSize);
  test_package::Append(expected, {0xC8, 0x69, 0xBE, 0x57, 0x04, 0xD5, 0x1A, 0x63});
  EXPECT_EQ(ReadFileBytes(path_), expected);
  EXPECT_EQ(test_package::FolderNames(folder_.path()), std::vector<std::string>{"DETECT.DAT"});
}

TEST_F(UnscrambleDataFileTest, WithoutReplaceTheOutputIsNamedWithAnUnderscore) {
  const Bytes scrambled = ZerosAfterHeader(0, 300);
  ASSERT_TRUE(test_support::WriteFileBytes(path_, scrambled));
  std::string path = path_;
  ASSERT_TRUE(package::UnscrambleDataFile(path, false));

  EXPECT_EQ(path, folder_ / "_DETECT.DAT");
  EXPECT_EQ(ReadFileBytes(path_), scrambled);
  const Bytes output = ReadFileBytes(path);
  ASSERT_EQ(output.size(), scrambled.size());
  // Scrambling again gives back the input: the transform is its own inverse.
  Bytes again = output;
  package::ScrambleDataBytes(0, package::kDataFileHeaderSize,
                             again.data() + package::kDataFileHeaderSize,
                             again.size() - package::kDataFileHeaderSize);
  EXPECT_EQ(again, scrambled);
  EXPECT_NE(output, scrambled);
}

TEST_F(UnscrambleDataFileTest, ShortFileIsPaddedToAWholeHeader) {
  ASSERT_TRUE(test_support::WriteFileBytes(path_, Bytes(10, 'h')));
  std::string path = path_;
  ASSERT_TRUE(package::UnscrambleDataFile(path, true));
  Bytes expected(package::kDataFileHeaderSize, 0);
  std::fill_n(expected.begin(), 10, 'h');
  EXPECT_EQ(ReadFileBytes(path_), expected);
}

TEST_F(UnscrambleDataFileTest, MissingInputFails) {
  std::string path = path_;
  EXPECT_FALSE(package::UnscrambleDataFile(path, true));
  EXPECT_EQ(test_package::FolderNames(folder_.path()), std::vector<std::string>{});
}

}  // namespace

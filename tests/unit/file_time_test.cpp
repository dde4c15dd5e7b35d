#include "package/file_time.h"

#include <gtest/gtest.h>

#include <optional>

#include "platform/filesystem.h"
#include "platform/system.h"
#include "test_support.h"

namespace {

class FileTimeTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(test_support::WriteFileText(path_, "x")); }

  test_support::ScratchFolder folder_;
  std::string path_ = folder_ / "file.txt";
};

TEST_F(FileTimeTest, StampRoundTripsThroughTheFile) {
  const package::TimeStamp stamps[] = {
      {0, 0, 0, 80, 1, 2},       // 1980-01-02 midnight
      {23, 59, 58, 101, 7, 15},  // 2001-07-15, summer time where there is one
      {12, 0, 0, 124, 2, 29},    // a leap day
  };
  for (const package::TimeStamp& stamp : stamps) {
    SCOPED_TRACE(static_cast<int>(stamp.year));
    ASSERT_TRUE(package::SetFileTimeStamp(path_, stamp));
    package::TimeStamp read;
    ASSERT_TRUE(package::GetFileTimeStamp(path_, read));
    EXPECT_EQ(read, stamp);
  }
}

TEST_F(FileTimeTest, EmptyStampSetsTheCurrentTime) {
  ASSERT_TRUE(package::SetFileTimeStamp(path_, {0, 0, 0, 80, 1, 2}));
  const std::int64_t before = platform::CurrentTime();
  ASSERT_TRUE(package::SetFileTimeStamp(path_, package::TimeStamp{}));
  const std::optional<std::int64_t> modified = platform::FileModificationTime(path_);
  ASSERT_TRUE(modified.has_value());
  EXPECT_GE(*modified, before - 2);
  EXPECT_LE(*modified, platform::CurrentTime() + 2);
}

TEST_F(FileTimeTest, MissingFileGivesNoStamp) {
  const std::string absent = folder_ / "absent.txt";
  EXPECT_FALSE(package::SetFileTimeStamp(absent, {1, 2, 3, 100, 4, 5}));
  package::TimeStamp read{1, 2, 3, 4, 5, 6};
  EXPECT_FALSE(package::GetFileTimeStamp(absent, read));
  EXPECT_EQ(read, package::TimeStamp{});
}

}  // namespace

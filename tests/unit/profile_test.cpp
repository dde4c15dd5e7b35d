#include "platform/profile.h"

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace {

// One file read through the platform's profile reader; the same table runs against the Windows
// API under Wine, so the host's reader is held to the system's answers.
constexpr char kProfile[] =
    "; options\r\n"
    "[First]\r\n"
    "Number = 42 \r\n"
    "number=7\r\n"
    "Text=  two words  \r\n"
    "Empty=\r\n"
    "Signed=-3\r\n"
    "Trailing=12abc\r\n"
    ";Commented=1\r\n"
    "[second]\r\n"
    "Only=here\r\n";

class ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = folder_ / "options.ini";
    ASSERT_TRUE(test_support::WriteFileText(path_, kProfile));
  }
  test_support::ScratchFolder folder_;
  std::string path_;
};

TEST_F(ProfileTest, ReadsIntegers) {
  const struct {
    const char* section;
    const char* key;
    int expected;
  } cases[] = {
      {"First", "Number", 42},    {"FIRST", "NUMBER", 42}, {"first", "Signed", -3},
      {"First", "Trailing", 12},  {"First", "Empty", 99},  {"First", "Missing", 99},
      {"First", "Commented", 99}, {"First", "Only", 99},   {"Second", "only", 0},
      {"Third", "Number", 99},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::ReadProfileInt(c.section, c.key, 99, path_), c.expected)
        << c.section << "/" << c.key;
  }
  EXPECT_EQ(platform::ReadProfileInt("First", "Number", 5, folder_ / "none.ini"), 5);
}

TEST_F(ProfileTest, ReadsStringsCutToTheBuffer) {
  const struct {
    const char* section;
    const char* key;
    std::size_t capacity;
    std::string expected;
  } cases[] = {
      {"first", "text", 260, "two words"}, {"First", "Text", 4, "two"},
      {"First", "Empty", 260, ""},         {"First", "Missing", 260, "fallback"},
      {"First", "Missing", 5, "fall"},     {"Second", "Only", 260, "here"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::ReadProfileString(c.section, c.key, "fallback", path_, c.capacity),
              c.expected)
        << c.section << "/" << c.key << " in " << c.capacity;
  }
}

}  // namespace

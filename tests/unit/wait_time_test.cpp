#include "script/wait_time.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(WaitTimeOf, ReadsTheCountAndBoundsIt) {
  constexpr std::uint32_t kBound = script::kLongestWaitMilliseconds;
  const struct {
    std::string text;
    std::uint32_t milliseconds;
    bool cut;
  } cases[] = {
      {"250", 250, false},
      {" \t42ms", 42, false},
      {"+7", 7, false},
      {"abc", 0, false},
      {"", 0, false},
      // Negative counts wait not at all; the system would take them as about 49 days.
      {"-1", 0, false},
      {"-99999999999999999999", 0, false},
      {"300000", 300000, false},
      {"300001", kBound, true},
      {"4294967295", kBound, true},  // the system's "no time-out"
      {"4294967296", kBound, true},
      {"99999999999999999999999999", kBound, true},
  };
  for (const auto& c : cases) {
    const script::WaitTime wait = script::WaitTimeOf(c.text);
    EXPECT_EQ(wait.milliseconds, c.milliseconds) << "[" << c.text << "]";
    EXPECT_EQ(wait.cut, c.cut) << "[" << c.text << "]";
  }
}

}  // namespace

// Where the wizard goes when it is centred on the desktop or on another window.

#include "shell/wizard/centered_position.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

struct Case {
  const char* what;
  int size;
  int screen;
  std::optional<shell::Span> reference;
  int expected;
};

TEST(CenteredStart, FollowsTheRulesOnOneAxis) {
  const Case cases[] = {
      {"on the screen", 400, 1024, std::nullopt, 312},
      {"on the screen, half cut toward zero", 401, 1024, std::nullopt, 311},
      {"wider than the screen", 1100, 1024, std::nullopt, -38},
      {"inside a wider reference", 200, 1024, shell::Span{100, 501}, 250},
      {"wider than a reference that starts at 0", 300, 1024, shell::Span{0, 200}, 0},
      {"wider than a reference further in", 300, 1024, shell::Span{500, 200}, 450},
      {"wider by an odd amount", 301, 1024, shell::Span{500, 200}, 450},
      {"reference starting off the screen", 100, 1024, shell::Span{-400, 300}, 0},
      {"reference running past the far edge", 200, 1024, shell::Span{900, 300}, 824},
      {"the desktop as reference", 515, 1024, shell::Span{0, 1024}, 254},
  };
  for (const Case& c : cases) {
    const shell::Span* reference = c.reference ? &*c.reference : nullptr;
    EXPECT_EQ(shell::CenteredStart(c.size, c.screen, reference), c.expected) << c.what;
  }
}

}  // namespace

// The numbered names beside a file in use: the first free number, and a search that ends when no
// number is free.

#include "install/numbered_name.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/filesystem.h"
#include "test_support.h"

namespace {

using test_support::ScratchFolder;

TEST(NumberedFreeName, TakesTheFirstNumberThatNamesNoFile) {
  ScratchFolder folder;
  ASSERT_TRUE(test_support::WriteFileText(folder / "engine.1", "taken"));
  ASSERT_NE(platform::CreateFolder(folder / "scan.1"), platform::CreateFolderResult::kFailed);
  const struct {
    const char* destination;
    std::optional<std::string> name;
  } cases[] = {
      {"readme.txt", folder / "readme.1"},
      {"engine.dll", folder / "engine.2"},
      {"scan.cfg", folder / "scan.1"},  // a folder of that name does not count
      {"NOTES", folder / "NOTES.1"},
      // The system finds every "con.N": each number is taken, and the search gives up.
      {"con.dll", std::nullopt},
      {"aux", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.destination);
    EXPECT_EQ(install::NumberedFreeName(folder / c.destination), c.name);
  }
}

}  // namespace

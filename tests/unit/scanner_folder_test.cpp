#include "script/scanner_folder.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "platform/filesystem.h"
#include "test_support.h"

namespace {

TEST(SearchPathFolders, TrimsAndLeavesOutEmptyAndOverlongFolders) {
  const std::string longest(259, 'a');
  const std::string too_long(260, 'b');
  EXPECT_EQ(script::SearchPathFolders(" C:\\One ;;\t;C:\\Two\t; " + too_long + ";" + longest + ";"),
            (std::vector<std::string>{"C:\\One", "C:\\Two", longest}));
  EXPECT_EQ(script::SearchPathFolders(""), std::vector<std::string>{});
}

// A folder holding the given files.
std::string FolderWith(const test_support::ScratchFolder& root, const std::string& name,
                       std::initializer_list<const char*> files) {
  const std::string folder = root / name;
  EXPECT_EQ(platform::CreateFolder(folder), platform::CreateFolderResult::kCreated);
  for (const char* file : files)
    EXPECT_TRUE(test_support::WriteFileText(folder + "\\" + file, "x"));
  return folder;
}

TEST(FindScannerFolder, TakesTheFirstFolderWithAWholeScanner) {
  const struct {
    const char* what;
    std::initializer_list<const char*> files;
    bool qualifies;
  } cases[] = {
      {"with probe.exe",
       {"pguard.exe", "probe.exe", "DETECT.DAT", "REPAIR.DAT", "TITLES.DAT"},
       true},
      {"with probepm.exe",
       {"pguard.exe", "probepm.exe", "DETECT.DAT", "REPAIR.DAT", "TITLES.DAT"},
       true},
      {"without pguard.exe", {"probe.exe", "DETECT.DAT", "REPAIR.DAT", "TITLES.DAT"}, false},
      {"without a probe", {"pguard.exe", "DETECT.DAT", "REPAIR.DAT", "TITLES.DAT"}, false},
      {"without TITLES.DAT", {"pguard.exe", "probe.exe", "DETECT.DAT", "REPAIR.DAT"}, false},
      {"with probe16.exe",
       {"pguard.exe", "probe.exe", "DETECT.DAT", "REPAIR.DAT", "TITLES.DAT", "probe16.exe"},
       false},
      {"with probe32.exe",
       {"pguard.exe", "probe.exe", "DETECT.DAT", "REPAIR.DAT", "TITLES.DAT", "probe32.exe"},
       false},
  };
  test_support::ScratchFolder root;
  const std::string whole = FolderWith(
      root, "whole", {"pguard.exe", "probe.exe", "DETECT.DAT", "REPAIR.DAT", "TITLES.DAT"});
  int number = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string folder = FolderWith(root, "case" + std::to_string(number++), c.files);
    // Blanks around the folder are not part of it; a qualifying folder later on is not reached.
    EXPECT_EQ(script::FindScannerFolder(root / "none;  " + folder + " \t;" + whole),
              c.qualifies ? folder : whole);
  }
  EXPECT_EQ(script::FindScannerFolder(root / "none"), std::nullopt);
}

TEST(FindScannerFolder, AFolderOfAMarkerNameIsNoFile) {
  test_support::ScratchFolder root;
  const std::string folder =
      FolderWith(root, "scanner", {"pguard.exe", "probe.exe", "REPAIR.DAT", "TITLES.DAT"});
  ASSERT_EQ(platform::CreateFolder(folder + "\\DETECT.DAT"),
            platform::CreateFolderResult::kCreated);
  EXPECT_EQ(script::FindScannerFolder(folder), std::nullopt);
}

}  // namespace

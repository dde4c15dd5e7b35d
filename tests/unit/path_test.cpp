#include "base/path.h"

#include <gtest/gtest.h>

#include <string>

#include "base/code_page.h"
#include "platform/folders.h"
#include "test_support.h"
#ifndef _WIN32
#include "base/posix/code_page.h"
#endif

namespace {

using base::kPathCapacity;

struct JoinCase {
  std::string path;
  std::string component;
  std::size_t capacity;
  bool joined;
  std::string result;
};

TEST(PathJoin, PutsExactlyOneSeparatorBetweenTheParts) {
  const std::string long_path = "D:\\" + std::string(197, 'p');  // 200 characters
  const JoinCase cases[] = {
      {"D:\\dir\\", "\\file", kPathCapacity, true, "D:\\dir\\file"},
      {"D:\\dir", "file", kPathCapacity, true, "D:\\dir\\file"},
      {"D:\\dir\\", "file", kPathCapacity, true, "D:\\dir\\file"},
      {"D:\\dir", "\\file", kPathCapacity, true, "D:\\dir\\file"},
      {"D:\\dir", "", kPathCapacity, true, "D:\\dir\\"},
      {"", "file", kPathCapacity, true, "file"},
      {"", "\\file", kPathCapacity, true, "\\file"},
      // The lengths may add up to capacity - 3 at most.
      {long_path, std::string(57, 'c'), kPathCapacity, true,
       long_path + "\\" + std::string(57, 'c')},
      {long_path, std::string(58, 'c'), kPathCapacity, false, long_path},
      {"ab", "cd", 7, true, "ab\\cd"},
      {"ab", "cde", 7, false, "ab"},
      // The rule counts both lengths even when one separator is dropped.
      {"ab\\", "\\cd", 9, true, "ab\\cd"},
      {"ab\\", "\\cd", 8, false, "ab\\"},
  };
  for (const JoinCase& c : cases) {
    std::string path = c.path;
    EXPECT_EQ(base::JoinPath(path, c.capacity, c.component), c.joined)
        << c.path << " + " << c.component;
    EXPECT_EQ(path, c.result) << c.path << " + " << c.component;
  }
}

TEST(PathStripFileName, EndsThePathAtItsLastSeparator) {
  const struct {
    std::string path;
    bool found;
    std::string result;
  } cases[] = {
      {"D:\\dir\\file", true, "D:\\dir"}, {"D:\\file", true, "D:"},
      {"D:\\dir\\", true, "D:\\dir"},     {"\\file", true, ""},
      {"file.txt", false, "file.txt"},    {"", false, ""},
  };
  for (const auto& c : cases) {
    std::string path = c.path;
    EXPECT_EQ(base::StripFileName(path), c.found) << c.path;
    EXPECT_EQ(path, c.result) << c.path;
  }
}

TEST(PathStripExtension, RemovesOnlyAShortExtensionAfterTheFirstCharacter) {
  const struct {
    std::string name;
    std::string result;
  } cases[] = {
      {"setup.exe", "setup"},
      {"page.html", "page.html"},
      {".ini", ".ini"},
      {"a.b", "a"},
      {"ab.c", "ab"},
      {"file.", "file"},
      {"x", "x"},
      {"", ""},
      {".b", ".b"},
      {"a.tar.gz", "a.tar"},
      {"ab.cde", "ab"},
      {"x.abcd", "x.abcd"},
      {"D:\\dir.x\\file", "D:\\dir.x\\file"},
  };
  for (const auto& c : cases) {
    std::string name = c.name;
    base::StripExtension(name);
    EXPECT_EQ(name, c.result) << c.name;
  }
}

TEST(PathFileNameOf, TakesTheTextAfterTheLastColonOrSeparator) {
  const std::string long_folder = "D:\\" + std::string(300, 'a');
  const struct {
    std::string path;
    std::string name;
  } cases[] = {
      {"D:\\dir\\file.txt", "file.txt"},
      {"D:file.txt", "file.txt"},
      {"C:\\a\\b:c\\d", "d"},
      {"dir\\file", "file"},
      {"file", ""},
      {"", ""},
      {"dir\\", ""},
      {"\\dir\\", "dir\\"},  // empty name after a leading "\": all but the first character
      {"\\", ""},
      // Only the first 260 characters take part.
      {long_folder + "\\tail", std::string(257, 'a')},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(base::FileNameOf(c.path), c.name) << c.path;
  }
}

TEST(PathSplitDirectoryAndName, SeparatesDriveAndFolderFromTheName) {
  const struct {
    std::string path;
    std::string directory;
    std::string name;
  } cases[] = {
      {"D:\\dir\\file.ext", "D:\\dir", "file.ext"},
      {"D:\\file.ext", "D:\\", "file.ext"},
      {"file.ext", "", "file.ext"},
      {"D:file", "D:", "file"},
      {"\\file", "\\", "file"},
      {"D:\\a\\b\\", "D:\\a\\b", ""},
      {"dir/sub/file", "dir/sub", "file"},
  };
  for (const auto& c : cases) {
    std::string directory = "stale";
    std::string name = "stale";
    base::SplitDirectoryAndName(c.path, directory, name);
    EXPECT_EQ(directory, c.directory) << c.path;
    EXPECT_EQ(name, c.name) << c.path;
  }
}

TEST(PathEndsWithSeparator, NeedsATrailingBackslash) {
  EXPECT_TRUE(base::EndsWithSeparator("D:\\dir\\"));
  EXPECT_TRUE(base::EndsWithSeparator("\\"));
  EXPECT_FALSE(base::EndsWithSeparator("D:\\dir"));
  EXPECT_FALSE(base::EndsWithSeparator("dir/"));
  EXPECT_FALSE(base::EndsWithSeparator(""));
}

TEST(PathIsExistingDirectory, FallsBackToDriveShapesForMissingPaths) {
  const struct {
    const char* path;
    bool expected;
  } cases[] = {
      {"Q:", true},   {"q:", true},  {"ab", false}, {"AB", true},    {"q:\\", true},
      {"Qx\\", true}, {"1:", false}, {"q", false},  {"ABCD", false}, {"", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::IsExistingDirectory(c.path), c.expected) << c.path;
  }
}

TEST(PathIsExistingDirectory, AsksTheFileSystemForExistingPaths) {
  test_support::ScratchFolder scratch;
  const std::string file = scratch / "file.txt";
  ASSERT_TRUE(test_support::WriteFileText(file, "x"));

  EXPECT_TRUE(platform::IsExistingDirectory(scratch.path()));
  EXPECT_FALSE(platform::IsExistingDirectory(file));
}

TEST(PathIsAbsolutePath, OnlyDriveRootsAndNetworkNamesStandAlone) {
  const struct {
    const char* path;
    bool expected;
  } cases[] = {
      {"C:\\windows", true}, {"c:/x", true},
      {"Z:\\", true},        {"\\\\server\\share", true},
      {"//server", true},    {"C:", false},
      {"C:name", false},     {"\\name", false},
      {"/name", false},      {"sub\\victim.txt", false},
      {"..", false},         {"", false},
      {"1:\\x", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(base::IsAbsolutePath(c.path), c.expected) << c.path;
  }
}

TEST(PathIsContainedRelativePath, RefusesNamesThatLeaveTheTargetFolder) {
  const struct {
    const char* name;
    bool contained;
  } cases[] = {
      {"file.txt", true},
      {"sub\\file.txt", true},
      {"sub/file.txt", true},
      {"a\\.\\b", true},
      {"..name", true},
      {"name..", true},
      {"a..b\\c", true},
      {"", false},
      {"\\file", false},
      {"/file", false},
      {"\\\\server\\share\\file", false},
      {"C:\\file", false},
      {"C:file", false},
      {"file:stream", false},
      {"..", false},
      {"..\\file", false},
      {"sub\\..\\..\\file", false},
      {"sub/../file", false},
      {"sub\\..", false},
      {"...\\file", false},  // Windows trims trailing dots and spaces
      {".. \\file", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(base::IsContainedRelativePath(c.name), c.contained) << c.name;
  }
}

TEST(PathNamesDevice, FindsDeviceNamesInAnyComponent) {
  const struct {
    const char* path;
    bool device;
  } cases[] = {
      {"CON", true},
      {"con.txt", true},
      {"Nul", true},
      {"prn.tar.gz", true},
      {"aux", true},
      {"COM1", true},
      {"com9.log", true},
      {"LPT5", true},
      {"NUL.", true},  // Windows drops trailing dots and spaces
      {"nul ", true},
      {"con .txt", true},
      {"CON:stream", true},
      {"sub\\COM1", true},
      {"con\\file.txt", true},
      {"a/aux/b", true},
      {"C:\\app\\con.txt", true},
      {"", false},
      {"CONSOLE", false},
      {"icon", false},
      {"con_1.txt", false},
      {"xcon.txt", false},
      {".con", false},
      {"COM0", false},
      {"COM10", false},
      {"LPT", false},
      {"COMA", false},
      {"sub\\file.txt", false},
      {"C:\\app\\console.dll", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(base::NamesDevice(c.path), c.device) << c.path;
  }
}

#ifndef _WIN32
// "\x95\x5C" is one Shift-JIS character whose trail byte has the code of "\".
class PathDoubleByte : public testing::Test {
 protected:
  void TearDown() override { base::SetAnsiCodePage(1252); }
};

TEST_F(PathDoubleByte, TrailBytesAreNotSeparatorsInADoubleByteCodePage) {
  const std::string name = "\x95\x5C";
  const struct {
    unsigned code_page;
    bool ends_with_separator;
    std::string joined;
    std::string stripped;
    std::string file_name;
    std::string directory;
    std::string split_name;
  } cases[] = {
      {932, false, "D:\\" + name + "\\x", "D:", name, "D:\\", name},
      {1252, true, "D:\\" + name + "x", "D:\\\x95", "", "D:\\\x95", ""},
  };
  for (const auto& c : cases) {
    base::SetAnsiCodePage(c.code_page);
    const std::string path = "D:\\" + name;
    EXPECT_EQ(base::EndsWithSeparator(path), c.ends_with_separator) << c.code_page;

    std::string joined = path;
    ASSERT_TRUE(base::JoinPath(joined, kPathCapacity, "x"));
    EXPECT_EQ(joined, c.joined) << c.code_page;

    std::string stripped = path;
    EXPECT_TRUE(base::StripFileName(stripped));
    EXPECT_EQ(stripped, c.stripped) << c.code_page;

    EXPECT_EQ(base::FileNameOf("dir\\" + name), c.file_name) << c.code_page;

    std::string directory;
    std::string file;
    base::SplitDirectoryAndName(path, directory, file);
    EXPECT_EQ(directory, c.directory) << c.code_page;
    EXPECT_EQ(file, c.split_name) << c.code_page;
  }
}

TEST_F(PathDoubleByte, SeparatorAfterADoubleByteCharacterStillCounts) {
  base::SetAnsiCodePage(932);
  EXPECT_TRUE(base::EndsWithSeparator("\x95\x5C\\"));
  std::string path = "D:\\\x95\x5C\\file";
  EXPECT_TRUE(base::StripFileName(path));
  EXPECT_EQ(path, "D:\\\x95\x5C");
  // Stored names are checked byte by byte, so the trail byte only makes them stricter.
  EXPECT_FALSE(base::IsContainedRelativePath("\x95\\..\\x"));
}

TEST_F(PathDoubleByte, CodePagesKnowTheirLeadByteRanges) {
  const struct {
    unsigned code_page;
    unsigned char byte;
    bool lead;
  } cases[] = {
      {932, 0x80, false},  {932, 0x81, true}, {932, 0x9F, true},  {932, 0xA0, false},
      {932, 0xDF, false},  {932, 0xE0, true}, {932, 0xFC, true},  {932, 0xFD, false},
      {936, 0x81, true},   {949, 0xFE, true}, {950, 0xFF, false}, {950, 0x80, false},
      {1252, 0x95, false},
  };
  for (const auto& c : cases) {
    base::SetAnsiCodePage(c.code_page);
    EXPECT_EQ(base::IsLeadByte(c.byte), c.lead) << c.code_page << " " << int(c.byte);
  }
}
#endif

}  // namespace

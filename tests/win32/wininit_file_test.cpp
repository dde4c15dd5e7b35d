// The "[rename]" section of WININIT.INI, written in a scratch folder instead of the Windows
// directory.

#include "platform/win32/wininit_file.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/filesystem.h"
#include "test_support.h"

namespace {

using test_support::ScratchFolder;
using namespace std::string_literals;

const std::string kLines = "NUL=C:\\APP\\ENGINE.DLL\r\nC:\\APP\\ENGINE.DLL=C:\\APP\\ENGINE.1\r\n";

std::string ReadText(const std::string& path) {
  const auto bytes = test_support::ReadFileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

// Every byte but NUL and LF, so that it stays one line, starting with a byte that is no "[".
std::string BinaryLine() {
  std::string line;
  for (int byte = 255; byte >= 1; --byte) {
    if (byte != '\n')
      line += static_cast<char>(byte);
  }
  return line;
}

TEST(WininitFile, CreatesTheFileWithTheSection) {
  ScratchFolder folder;
  EXPECT_EQ(platform::AddRenameLinesIn(folder.path(), kLines), status::kOk);
  EXPECT_EQ(ReadText(folder / platform::kWininitName), "[rename]\r\n" + kLines);
}

TEST(WininitFile, LinesGoAtTheEndOfTheRenameSection) {
  const std::string binary = BinaryLine();
  const std::string l519(517, 'a');  // 519 characters with its CR LF
  const std::string l520(518, 'b');  // 520
  const std::string l5000(4998, 'c');
  const std::string tail_with_rename = std::string(600, 'd') + "[rename]";
  const struct {
    const char* name;
    std::string before;
    std::string after;
  } cases[] = {
      {"empty file", "", "[rename]\r\n" + kLines},
      {"before the next section", "[Rename]\r\nA=B\r\n[Other]\r\nX=Y\r\n",
       "[Rename]\r\nA=B\r\n" + kLines + "[Other]\r\nX=Y\r\n"},
      {"only section", "[rename]\r\nA=B\r\n", "[rename]\r\nA=B\r\n" + kLines},
      {"no section, no final line end", "[Other]\r\nX=Y",
       "[Other]\r\nX=Y\r\n[rename]\r\n" + kLines},
      {"no section, last line ends in CR", "[Other]\r\nX=Y\r",
       "[Other]\r\nX=Y\r\n[rename]\r\n" + kLines},
      {"no section, LF line ends", "[Other]\nX=Y\n", "[Other]\nX=Y\n[rename]\r\n" + kLines},
      {"header without final line end", "X=Y\r\n[RENAME]", "X=Y\r\n[RENAME]\r\n" + kLines},
      {"header in a comment", "; see [ReNaMe] below\r\nA=B\r\n[Other]\r\n",
       "; see [ReNaMe] below\r\nA=B\r\n" + kLines + "[Other]\r\n"},
      // The next header, last and without line end, is completed; what follows a header that is
      // not last is copied as it stands.
      {"next header is the last line", "[rename]\r\nA=B\r\n[Other]",
       "[rename]\r\nA=B\r\n" + kLines + "[Other]\r\n"},
      {"rest kept as it stands", "[rename]\r\n[Other]\r\nX=Y",
       "[rename]\r\n" + kLines + "[Other]\r\nX=Y"},
      // A section name further on than the 520-byte line buffer reached still counts.
      {"header far into a long line", tail_with_rename + "\r\nA=B\r\n[Other]\r\n",
       tail_with_rename + "\r\nA=B\r\n" + kLines + "[Other]\r\n"},
      {"long lines in and around the section",
       "[Other]\r\n" + l5000 + "\r\n[rename]\r\n" + l520 + "\r\n" + binary + "\r\n[Next]\r\n" +
           l519,
       "[Other]\r\n" + l5000 + "\r\n[rename]\r\n" + l520 + "\r\n" + binary + "\r\n" + kLines +
           "[Next]\r\n" + l519},
      {"long lines, no final line end", "[rename]\r\n" + l519 + "\r\n" + l5000,
       "[rename]\r\n" + l519 + "\r\n" + l5000 + "\r\n" + kLines},
      {"a long line starting with [ ends the section", "[rename]\r\n[" + l5000 + "\r\n",
       "[rename]\r\n" + kLines + "[" + l5000 + "\r\n"},
      {"NUL bytes are kept", "[x]\r\nA=\0B\r\n[rename]\r\n"s,
       "[x]\r\nA=\0B\r\n[rename]\r\n"s + kLines},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchFolder folder;
    const std::string ini = folder / platform::kWininitName;
    ASSERT_TRUE(test_support::WriteFileText(ini, c.before));
    EXPECT_EQ(platform::AddRenameLinesIn(folder.path(), kLines), status::kOk);
    EXPECT_EQ(ReadText(ini), c.after);
    EXPECT_FALSE(platform::IsFile(folder / platform::kWininitScratchName));
  }
}

TEST(WininitFile, TwoAdditionsKeepTheirOrder) {
  ScratchFolder folder;
  const std::string ini = folder / platform::kWininitName;
  ASSERT_TRUE(test_support::WriteFileText(ini, "[rename]\r\n[Other]\r\n"));
  ASSERT_EQ(platform::AddRenameLinesIn(folder.path(), "NUL=A\r\n"), status::kOk);
  ASSERT_EQ(platform::AddRenameLinesIn(folder.path(), "NUL=B\r\n"), status::kOk);
  EXPECT_EQ(ReadText(ini), "[rename]\r\nNUL=A\r\nNUL=B\r\n[Other]\r\n");
}

TEST(WininitFile, AFailureLeavesTheFileAsItWas) {
  const std::string before = "[rename]\r\nA=B\r\n[Other]\r\n" + std::string(3000, 'x');
  {
    SCOPED_TRACE("the scratch file cannot be created");
    ScratchFolder folder;
    const std::string ini = folder / platform::kWininitName;
    ASSERT_TRUE(test_support::WriteFileText(ini, before));
    ASSERT_EQ(platform::CreateFolder(folder / platform::kWininitScratchName),
              platform::CreateFolderResult::kCreated);
    EXPECT_EQ(platform::AddRenameLinesIn(folder.path(), kLines), status::kWriteFailed);
    EXPECT_EQ(ReadText(ini), before);
  }
  {
    SCOPED_TRACE("the file is held without sharing");
    ScratchFolder folder;
    const std::string ini = folder / platform::kWininitName;
    ASSERT_TRUE(test_support::WriteFileText(ini, before));
    const HANDLE held = ::CreateFileA(ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(platform::AddRenameLinesIn(folder.path(), kLines), status::kOpenFailed);
    ::CloseHandle(held);
    EXPECT_EQ(ReadText(ini), before);
  }
}

TEST(WininitFile, AMissingFolderCannotTakeTheFile) {
  ScratchFolder folder;
  EXPECT_EQ(platform::AddRenameLinesIn(folder / "missing", kLines), status::kOpenFailed);
}

}  // namespace

#include "install/file_versions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "script_in_folder.h"
#include "script_runner.h"
#include "test_support.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using test_support::MainStopped;
using test_support::RunInFolder;
using test_support::ScriptRunner;

TEST(FindVersionText, TakesDigitDotDigitDotDigitAfterTheKey) {
  const struct {
    std::string_view window;
    std::optional<std::string> version;
  } cases[] = {
      {"SCANNER Version 5.1.0 build 12", "5.1.0"},
      {"scanner version 5.1.0 build 12", "5.1.0"},  // compared in upper case
      {"ScAnNeR VeRsIoN 5.1.0 ", "5.1.0"},
      {"SCANNER 5.1.0 ", "5.1.0"},
      {"SCANNER V5.1.0 ", "5.1.0"},
      {"SCANNER v 5.1.0 ", "5.1.0"},
      {"SCANNER...5.1.0 ", "5.1.0"},
      {"SCANNER  ..Version ..5.1.0 ", "5.1.0"},
      {"SCANNERVERSION5.1.0 ", "5.1.0"},
      {"THE SCANNER 5.1.0 ", "5.1.0"},
      {"SCANNER 5.1.0X", "5.1.0"},      // one character after the version is enough
      {"SCANNER 5.1.0", std::nullopt},  // none: the version ends the window
      {"SCANNER Version 5.1 and SCANNER 6.2.1 ", "6.2.1"},  // searched again after a miss
      {"SCANNER 51.0.0 ", std::nullopt},
      {"SCANNER 5-1-0 ", std::nullopt},
      {"SCANNER Release 5.1.0 ", std::nullopt},
      // Spaces, then dots are skipped once each; only after a "V" are they skipped again.
      {"SCANNER. 5.1.0 ", std::nullopt},
      {"SCANNER. V. 5.1.0 ", std::nullopt},
      {"SCANNER .V 5.1.0 ", "5.1.0"},
      {"SCANNER V ERSION 5.1.0 ", std::nullopt},
      {"SCANNE 5.1.0 ", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(install::FindVersionText(c.window, "scanner"), c.version) << c.window;
  }
  EXPECT_EQ(install::FindVersionText("SCANNER 5.1.0 ", ""), std::nullopt);
}

Bytes Text(std::string_view text) {
  return Bytes(text.begin(), text.end());
}

// Text as 16-bit characters (little-endian): every second byte is zero.
Bytes Wide(std::string_view text) {
  Bytes bytes;
  for (const char c : text) {
    bytes.push_back(static_cast<std::uint8_t>(c));
    bytes.push_back(0);
  }
  return bytes;
}

Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bytes Filler(std::size_t count) {
  return Bytes(count, 'x');
}

// What GETFILEVERSION v = scanner.exe makes of files in the work folder.
TEST(GetFileVersion, ReadsTheVersionTextOrTheLastSevenBytes) {
  const struct {
    const char* what;
    Bytes content;
    std::optional<std::string> version;  // none: status 40 and the section stopped
  } cases[] = {
      {"text", Text("SCANNER Version 5.1.0 Copyright"), "5.1.0"},
      {"text across the first chunk border", Concat(Filler(1020), Text("SCANNER Version 5.1.0 ")),
       "5.1.0"},
      {"text in a later chunk", Concat(Filler(5000), Text("scanner v1.2.3 ")), "1.2.3"},
      {"16-bit text across the chunk border",
       Wide(std::string(508, 'x') + "Scanner Version 4.2.7 (c)"), "4.2.7"},
      {"text before a tail version", Concat(Text("SCANNER 1.2.3 "), {4, 52, 0, 0, 0, 0, 0}),
       "1.2.3"},
      {"text that ends the file: its tail 'R 5.1.0' holds none", Text("xx SCANNER 5.1.0"),
       std::nullopt},
      {"tail with a two-digit second byte", Concat(Filler(100), {4, 52, 0, 0, 0, 0, 0}), "4.5.2"},
      {"tail with a one-digit second byte", Concat(Filler(100), {4, 3, 0, 0, 0, 0, 0}), "4.0.3"},
      {"tail after another program's version", Concat(Text("OTHER 1.2.3 "), {4, 3, 0, 0, 0, 0, 0}),
       "4.0.3"},
      {"tail second byte of 100", Concat(Filler(100), {4, 100, 0, 0, 0, 0, 0}), std::nullopt},
      {"tail first byte of 10", Concat(Filler(100), {10, 5, 0, 0, 0, 0, 0}), std::nullopt},
      {"seven bytes in all", {4, 3, 0, 0, 0, 0, 0}, std::nullopt},
      {"eight bytes in all", {9, 4, 3, 0, 0, 0, 0, 0}, "4.0.3"},
      {"shorter than the tail", {4, 3}, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test_support::ScratchFolder folder;
    ASSERT_TRUE(test_support::WriteFileBytes(folder / "scanner.exe", c.content));
    ScriptRunner runner;
    EXPECT_EQ(RunInFolder(runner, folder.path(), "[Main]\nGetFileVersion v = scanner.exe\n"),
              c.version ? status::kOk : status::kNoVersion);
    EXPECT_EQ(runner.Variable("v"), c.version);
    EXPECT_EQ(MainStopped(runner), !c.version);
  }
}

TEST(GetFileVersion, ReportsEveryFailureAsNoVersion) {
  test_support::ScratchFolder folder;
  for (const char* line : {"GetFileVersion v = missing.exe", "GetFileVersion scanner.exe"}) {
    SCOPED_TRACE(line);
    ScriptRunner runner;
    EXPECT_EQ(RunInFolder(runner, folder.path(), std::string("[Main]\n") + line + "\n"),
              status::kNoVersion);
    EXPECT_TRUE(MainStopped(runner));
  }
}

TEST(Get4xDatVersion, ReadsTheHeadersLittleEndianWordAt69) {
  const auto header = [](std::size_t size, std::uint8_t low, std::uint8_t high) {
    Bytes bytes(size, 0xAA);
    if (size > 70) {
      bytes[69] = low;
      bytes[70] = high;
    }
    return bytes;
  };
  const struct {
    const char* what;
    std::optional<Bytes> content;  // none: no file
    std::optional<std::string> version;
    Status status;
  } cases[] = {
      {"a whole header", header(73, 0x34, 0x12), "4660", status::kOk},
      {"read as unsigned", header(4096, 0xFF, 0xFF), "65535", status::kOk},
      {"one byte short", header(72, 0x34, 0x12), std::nullopt, status::kNoVersion},
      {"no file", std::nullopt, std::nullopt, status::kNoVersion},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test_support::ScratchFolder folder;
    if (c.content) {
      ASSERT_TRUE(test_support::WriteFileBytes(folder / "DETECT.DAT", *c.content));
    }
    ScriptRunner runner;
    EXPECT_EQ(RunInFolder(runner, folder.path(), "[Main]\nGet4xDatVersion v = detect.dat\n"),
              c.status);
    EXPECT_EQ(runner.Variable("v"), c.version);
    EXPECT_EQ(MainStopped(runner), c.status != status::kOk);
  }
}

TEST(Get4xDatVersion, KeepsTheSplitStatus) {
  test_support::ScratchFolder folder;
  ScriptRunner runner;
  EXPECT_EQ(RunInFolder(runner, folder.path(), "[Main]\nGet4xDatVersion detect.dat\n"),
            status::kNowhereToPutValue);
  EXPECT_TRUE(MainStopped(runner));
}

}  // namespace

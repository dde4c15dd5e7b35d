#include "script/ini_profile.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

#include "test_support.h"

namespace {

using script::IniProfile;

std::string WithLineEnds(std::string_view text, std::string_view line_end) {
  std::string converted;
  for (const char c : text) {
    if (c == '\n')
      converted += line_end;
    else
      converted += c;
  }
  return converted;
}

// One product's settings, the way such files are written: every key right at the start of its
// line, the first character of every line significant.
constexpr char kSettings[] =
    "; written by the product\n"
    "Loose=before any section\n"
    "[Settings]\n"
    "Version=4.0.2\n"
    "Path = C:\\Product\n"
    "  Indented=yes \n"
    "Empty=\n"
    "NoEquals\n"
    "Note=a ; b\n"
    "Twice=first\n"
    "[Other]\n"
    "Key=other\n"
    "\n"
    "[Settings]\n"
    "Twice=second\n"
    "Last=ended\n";

TEST(IniProfile, ReadsEveryLineWhateverEndsIt) {
  const struct {
    const char* section;
    const char* key;
    std::optional<std::string> value;
  } cases[] = {
      {"", "Loose", "before any section"},
      {"Settings", "Version", "4.0.2"},
      // Nothing is trimmed and names are compared exactly.
      {"Settings", "Path ", " C:\\Product"},
      {"Settings", "Path", std::nullopt},
      {"Settings", "Indented", "yes "},
      {"settings", "Version", std::nullopt},
      {"Settings", "version", std::nullopt},
      {"Settings", "Empty", ""},
      // A key without "=" has an empty value, not the value of the key before it.
      {"Settings", "NoEquals", ""},
      {"Settings", "Note", "a ; b"},
      // A section named twice holds the keys of both; the later value of a key wins.
      {"Settings", "Twice", "second"},
      {"Settings", "Last", "ended"},
      {"Other", "Key", "other"},
      {"Other", "Version", std::nullopt},
      {"Missing", "Key", std::nullopt},
  };
  for (const char* line_end : {"\r\n", "\n", "\r"}) {
    const IniProfile profile = IniProfile::Parse(WithLineEnds(kSettings, line_end));
    for (const auto& c : cases) {
      EXPECT_EQ(profile.Value(c.section, c.key), c.value)
          << "[" << c.section << "] " << c.key << " with line ends "
          << (line_end[0] == '\n'   ? "LF"
              : line_end[1] == '\n' ? "CR LF"
                                    : "CR");
    }
  }
}

TEST(IniProfile, StopsAtAnUnclosedHeaderOrALastLineWithoutItsEnd) {
  const struct {
    const char* what;
    std::string text;
    std::string section;
    std::string key;
    std::optional<std::string> value;
  } cases[] = {
      {"a last line without its end is not entered", "[S]\r\nA=1\r\nB=2", "S", "B", std::nullopt},
      {"the lines before it are", "[S]\r\nA=1\r\nB=2", "S", "A", "1"},
      {"a last line with its end is entered", "[S]\r\nA=1\r\nB=2\r\n", "S", "B", "2"},
      {"an unclosed header ends the reading", "[S]\nA=1\n[T\nB=2\n", "S", "B", std::nullopt},
      {"what came before it is kept", "[S]\nA=1\n[T\nB=2\n", "S", "A", "1"},
      {"a comment may end the file", "[S]\nA=1\n; end", "S", "A", "1"},
      {"a header may end the file", "[S]\nA=1\n[T]", "S", "A", "1"},
      {"an empty text", "", "", "", std::nullopt},
      // Names of any length are kept whole: a section name longer than any the script can
      // give is never matched by its first 259 characters.
      {"a long section name", "[" + std::string(300, 's') + "]\nA=1\n", std::string(259, 's'), "A",
       std::nullopt},
      {"a long value", "[S]\nA=" + std::string(3000, 'v') + "\n", "S", "A", std::string(3000, 'v')},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IniProfile::Parse(c.text).Value(c.section, c.key), c.value) << c.what;
  }
}

TEST(OpenIniProfile, ReadsTheFileWholeAndNothingWithoutOne) {
  test_support::ScratchFolder folder;
  ASSERT_TRUE(test_support::WriteFileText(folder / "product.ini", "[Settings]\nVersion=4.0.2\n"));
  ASSERT_TRUE(test_support::WriteFileText(folder / "empty.ini", ""));

  const std::optional<IniProfile> profile = script::OpenIniProfile(folder / "product.ini");
  ASSERT_TRUE(profile);
  EXPECT_EQ(profile->Value("Settings", "Version"), "4.0.2");
  const std::optional<IniProfile> empty = script::OpenIniProfile(folder / "empty.ini");
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->Value("", ""), std::nullopt);
  EXPECT_FALSE(script::OpenIniProfile(folder / "missing.ini"));
  EXPECT_FALSE(script::OpenIniProfile(folder.path()));
}

}  // namespace

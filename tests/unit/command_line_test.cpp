#include "shell/options/command_line.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using shell::GetOptionValue;
using shell::HasOption;
using shell::ParseCommandLine;
using shell::ParsedCommandLine;
using shell::ValidateCommandLine;

ParsedCommandLine Parse(const std::string& line) {
  std::optional<ParsedCommandLine> parsed = ParseCommandLine(line);
  EXPECT_TRUE(parsed.has_value()) << line;
  return parsed.value_or(ParsedCommandLine{});
}

// 509 characters, a blank, then "/SILENT /X" straddling the 512th character: only "/S" is left.
std::string LineLongerThanTheLimit() {
  std::string line = std::string(509, 'x') + " /SILENT /X ";
  line.resize(600, 'y');
  return line;
}

TEST(CommandLineTokens, FollowBlanksAndQuotes) {
  const struct {
    std::string line;
    std::vector<std::string> tokens;
    int options;
    int values;
  } cases[] = {
      {"", {}, 0, 0},
      {"/S   -e  D:\\out   ", {"/S", "-e", "D:\\out"}, 2, 1},
      // Only the blank separates.
      {"/E\tD:\\out", {"/E\tD:\\out"}, 1, 0},
      {"x-y /a/b -", {"x-y", "/a/b", "-"}, 2, 1},
      {"/LOGFILE \"D:\\My Logs\\x.log\" /S", {"/LOGFILE", "D:\\My Logs\\x.log", "/S"}, 2, 1},
      // Quotes before "/" or "-" stay, and the token is a value.
      {"/LOGFILE \"/tmp/my log\" /S", {"/LOGFILE", "\"/tmp/my log\"", "/S"}, 2, 1},
      {"\"-x y\"", {"\"-x y\""}, 0, 1},
      // A quoted stretch inside a token; text glued to its closing quote is a token of its own.
      {"a\"b c\"d", {"ab c", "d"}, 0, 2},
      {"\"D:\\out\"/S", {"D:\\out", "/S"}, 1, 1},
      {"\"a\"\"b\"", {"a", "b"}, 0, 2},
      {"\"D:\\no end  /S", {"D:\\no end  /S"}, 0, 1},
      // An empty quoted token leaves two zeros in a row, which end the list there.
      {"a \"\" /S", {"a"}, 1, 2},
      {LineLongerThanTheLimit(), {std::string(509, 'x'), "/S"}, 1, 1},
  };
  for (const auto& c : cases) {
    const ParsedCommandLine parsed = Parse(c.line);
    EXPECT_EQ(parsed.tokens, c.tokens) << c.line;
    EXPECT_EQ(parsed.option_count, c.options) << c.line;
    EXPECT_EQ(parsed.value_count, c.values) << c.line;
  }
}

TEST(CommandLineValidation, AcceptsExactlyTheOptionTable) {
  const struct {
    std::string line;
    Status status;
  } cases[] = {
      {"", status::kOk},
      {"/SILENT", status::kOk},
      {"-silent", status::kOk},
      {"--SILENT", status::kBadCommandLine},
      {"/", status::kBadCommandLine},
      {"/NC /PROMPT -Reboot /s", status::kOk},
      // An unknown switch fails even beside SILENT.
      {"/SILENT /X", status::kBadCommandLine},
      {"/SILENT /S", status::kOk},
      // LOGFILE needs a value token right behind it.
      {"/LOGFILE D:\\a.log", status::kOk},
      {"/LOGFILE", status::kBadCommandLine},
      {"/LOGFILE /S", status::kBadCommandLine},
      {"/LOGFILE /tmp/a.log", status::kBadCommandLine},
      {"/LOGFILE \"/tmp/a.log\"", status::kOk},
      // Options are asked by name: a later LOGFILE has the value of an earlier one...
      {"/LOGFILE D:\\a.log /LOGFILE", status::kOk},
      // ...and the search goes on behind the option that follows a bare one.
      {"/LOGFILE /LOGFILE D:\\a.log", status::kBadCommandLine},
      {"/LOGFILE /S /LOGFILE D:\\a.log", status::kOk},
      // E may have a value or not.
      {"/E", status::kOk},
      {"/E D:\\out", status::kOk},
      {"/E /S", status::kOk},
      // Switches without a value must not be followed by one; leading values are never examined.
      {"/S x", status::kBadCommandLine},
      {"/NC x", status::kBadCommandLine},
      {"x /S", status::kOk},
      {"x y", status::kOk},
      {LineLongerThanTheLimit(), status::kOk},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ValidateCommandLine(Parse(c.line)), c.status) << c.line;
}

TEST(CommandLineQueries, FindOptionsAndTheirValues) {
  const ParsedCommandLine parsed = Parse("D:\\x -nc /LOGFILE /S /logfile D:\\b.log /E D:\\out");
  EXPECT_TRUE(HasOption(parsed, "NC"));
  EXPECT_TRUE(HasOption(parsed, "s"));
  EXPECT_FALSE(HasOption(parsed, "SILENT"));
  EXPECT_FALSE(HasOption(parsed, "N"));
  // A value token with an option's name is not that option.
  EXPECT_FALSE(HasOption(Parse("NC"), "NC"));

  EXPECT_EQ(GetOptionValue(parsed, "LOGFILE"), "D:\\b.log");
  EXPECT_EQ(GetOptionValue(parsed, "e"), "D:\\out");
  EXPECT_EQ(GetOptionValue(parsed, "NC"), std::nullopt);
  EXPECT_EQ(GetOptionValue(parsed, "D:\\x"), std::nullopt);
  EXPECT_EQ(GetOptionValue(Parse("/E"), "E"), std::nullopt);
}

// Silence is read from any line, valid or not, before anything else can fail and show a box.
TEST(CommandLineQueries, SilenceIsRequestedByEitherSwitchOnAnyLine) {
  const struct {
    const char* line;
    bool silent;
  } cases[] = {
      {"/S", true},
      {"-silent", true},
      {"/X /LOGFILE /S", true},         // invalid, still silent
      {"/E D:\\out /Silent /Q", true},  // invalid, still silent
      {"/SILENTLY", false},
      {"\"/S\"", false},  // quoted: a value, not the switch
      {"/LOGFILE S", false},
      {"/E", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(shell::RequestsSilence(Parse(c.line)), c.silent) << c.line;
  EXPECT_TRUE(shell::RequestsSilence(Parse(LineLongerThanTheLimit())));
}

TEST(CommandLineQueries, CutAValueToTheBuffer) {
  const std::string value(300, 'v');
  EXPECT_EQ(GetOptionValue(Parse("/E " + value), "E"),
            value.substr(0, shell::kOptionValueCapacity - 1));
}

}  // namespace

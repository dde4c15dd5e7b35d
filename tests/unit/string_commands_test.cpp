#include "script/string_commands.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "package/container.h"
#include "script/interpreter.h"
#include "script_runner.h"

#ifndef _WIN32
#include "base/posix/code_page.h"
#endif

namespace {

using test_support::Crlf;
using test_support::ScriptRunner;

struct StringCase {
  const char* what;
  std::string script;
  Status status;
  std::vector<std::pair<std::string, std::optional<std::string>>> variables;
};

void RunCases(const std::vector<StringCase>& cases) {
  for (const StringCase& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptRunner runner;
    EXPECT_EQ(runner.Run(Crlf(c.script)), c.status);
    for (const auto& [name, value] : c.variables)
      EXPECT_EQ(runner.Variable(name), value) << "variable " << name;
  }
}

// Two variables of 400 characters, read back as values of at most 259.
const std::string kLongA(400, 'a');
const std::string kLongB(400, 'b');

TEST(StringCommands, StringAppend) {
  RunCases({
      {"literal parts: only a variable's value is appended",
       "[Main]\nStringAppend x = a, b\n",
       0,
       {{"x", "a"}}},
      {"a quote before a folder",
       "[Main]\nSet Quote=\"\nSet szProdDir=D:\\Prog\\\nStringAppend FilePath = Quote, szProdDir\n",
       0,
       {{"FilePath", "\"D:\\Prog\\"}}},
      {"a literal first part and a variable",
       "[Main]\nSet v=fix\nStringAppend x = pre, v\n",
       0,
       {{"x", "prefix"}}},
      {"appending to the variable itself",
       "[Main]\nSet a=ab\nStringAppend a = a, a\n",
       0,
       {{"a", "abab"}}},
      {"a missing second part fails with 2 and ends the section",
       "[Main]\nCall S\n[S]\nStringAppend x = a\nSet after=1\n",
       2,
       {{"x", std::nullopt}, {"after", std::nullopt}}},
      {"an empty second part", "[Main]\nStringAppend x = a,\n", 2, {{"x", std::nullopt}}},
      {"no variable name", "[Main]\nStringAppend = a, b\n", 2, {}},
      {"no parts at all", "[Main]\nStringAppend x\n", 2, {{"x", std::nullopt}}},
      {"no argument", "[Main]\nStringAppend\n", 2, {}},
  });
}

// The values are read with 260-byte buffers and the result is built in 520 bytes, so two long
// values give 259 + 259 characters.
TEST(StringCommands, StringAppendBuildsLongerValuesThanItReads) {
  ScriptRunner runner;
  ASSERT_EQ(runner.Load(Crlf("[Main]\nStringAppend x = A, B\n")), 0);
  ASSERT_EQ(runner.context().variables.Set("A", kLongA), 0);
  ASSERT_EQ(runner.context().variables.Set("B", kLongB), 0);
  ASSERT_EQ(script::RunMain(runner.context()), 0);
  EXPECT_EQ(runner.Variable("x"), std::string(259, 'a') + std::string(259, 'b'));
}

TEST(StringCommands, NameAppendFile) {
  RunCases({
      {"folder and name, the folder's backslash serving as separator",
       "[Main]\nSet FilePath=\"D:\\Prog\\\nSet Param=tool.exe\" /x\n"
       "NameAppendFile UninstallCommand = FilePath, Param\n",
       0,
       {{"UninstallCommand", "\"D:\\Prog\\tool.exe\" /x"}}},
      {"literal parts get one separator",
       "[Main]\nNameAppendFile p = C:\\dir, file.txt\nNameAppendFile q = C:\\dir\\, \\file.txt\n",
       0,
       {{"p", "C:\\dir\\file.txt"}, {"q", "C:\\dir\\file.txt"}}},
      {"a missing part fails with 2",
       "[Main]\nCall S\n[S]\nNameAppendFile p = C:\\dir\nSet after=1\n",
       2,
       {{"p", std::nullopt}, {"after", std::nullopt}}},
  });
}

// 259 + 259 characters and a separator do not fit 520 bytes: the folder stays as it is and the
// command still succeeds.
TEST(StringCommands, NameAppendFileThatDoesNotFitKeepsTheFolder) {
  ScriptRunner runner;
  ASSERT_EQ(runner.Load(Crlf("[Main]\nNameAppendFile p = A, B\nNameAppendFile q = A, b\n")), 0);
  ASSERT_EQ(runner.context().variables.Set("A", kLongA), 0);
  ASSERT_EQ(runner.context().variables.Set("B", kLongB), 0);
  ASSERT_EQ(script::RunMain(runner.context()), 0);
  EXPECT_EQ(runner.Variable("p"), std::string(259, 'a'));
  EXPECT_EQ(runner.Variable("q"), std::string(259, 'a') + "\\b");
}

TEST(StringCommands, NameStripFile) {
  RunCases({
      {"a quoted path keeps its quotes",
       "[Main]\nSet v=\"D:\\a\\b.exe\"\nNameStripFile v\n",
       0,
       {{"v", "\"D:\\a\""}}},
      {"an unquoted path", "[Main]\nSet v=D:\\a\\b.exe\nNameStripFile v\n", 0, {{"v", "D:\\a"}}},
      {"a bare name stays", "[Main]\nSet v=b.exe\nNameStripFile v\n", 0, {{"v", "b.exe"}}},
      {"a quoted bare name stays",
       "[Main]\nSet v=\"b.exe\"\nNameStripFile v\n",
       0,
       {{"v", "\"b.exe\""}}},
      {"an empty value stays empty", "[Main]\nSet v=\nNameStripFile v\n", 0, {{"v", ""}}},
      {"one quote is no quoted path", "[Main]\nSet v=\"\nNameStripFile v\n", 0, {{"v", "\""}}},
      {"a quote at the start only",
       "[Main]\nSet v=\"D:\\a\\b.exe\nNameStripFile v\n",
       0,
       {{"v", "\"D:\\a"}}},
      {"a missing variable fails with 28",
       "[Main]\nCall S\n[S]\nNameStripFile nothing\nSet after=1\n",
       28,
       {{"nothing", std::nullopt}, {"after", std::nullopt}}},
  });
}

#ifndef _WIN32
// In a double-byte code page a closing quote may be the trail byte of a character; then the value
// is not quoted and the last backslash ends it.
TEST(StringCommands, NameStripFileTakesTheLastCharacterDoubleByteAware) {
  const std::string dbcs_quote = "\x81\"";  // one character in code page 932
  for (const unsigned code_page : {1252u, 932u}) {
    SCOPED_TRACE(code_page);
    base::SetAnsiCodePage(code_page);
    ScriptRunner runner;
    ASSERT_EQ(runner.Load(Crlf("[Main]\nNameStripFile v\n")), 0);
    ASSERT_EQ(runner.context().variables.Set("v", "\"D:\\a\\b" + dbcs_quote), 0);
    EXPECT_EQ(script::RunMain(runner.context()), 0);
    EXPECT_EQ(runner.Variable("v"), code_page == 932 ? "\"D:\\a" : "\"D:\\a\"");
  }
  base::SetAnsiCodePage(1252);
}
#endif

TEST(StringCommands, IsValidFilterFollowsThePackageFlags) {
  const char* const groups[] = {"NT_2000_ONLY_FILES", "CMNDLINE_FILES", "WIN31_FILES",
                                "WIN9X_OLD_FILES",    "WIN9X_FILES",    "win9x_files"};
  const struct {
    std::uint32_t flags;
    const char* results;  // one character per group above
  } cases[] = {
      {0x0, "111111"}, {0x1, "100001"}, {0x2, "001111"},
      {0x4, "010111"}, {0x8, "011011"}, {0xF, "100001"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.flags);
    package::PackageFile no_set;
    package::PackageDescriptor descriptor;
    descriptor.trailer.flags = c.flags;
    ScriptRunner runner(no_set, descriptor);
    std::string script = "[Main]\n";
    const auto variable = [](std::size_t i) { return std::string(1, static_cast<char>('a' + i)); };
    for (std::size_t i = 0; i < std::size(groups); ++i)
      script.append("IsValidFilter ").append(variable(i)).append(" = ").append(groups[i]) += '\n';
    ASSERT_EQ(runner.Run(Crlf(script)), 0);
    for (std::size_t i = 0; i < std::size(groups); ++i)
      EXPECT_EQ(runner.Variable(variable(i)), std::string(1, c.results[i])) << groups[i];
  }
}

TEST(StringCommands, IsValidFilter) {
  package::PackageFile no_set;
  package::PackageDescriptor nt_only;
  nt_only.trailer.flags = 0x1;
  const struct {
    const char* what;
    const char* script;
    Status status;
    std::optional<std::string> v;
  } cases[] = {
      {"the group may come from a variable", "[Main]\nSet g=WIN9X_FILES\nIsValidFilter v = g\n", 0,
       "0"},
      {"without = it fails with 23", "[Main]\nCall S\n[S]\nIsValidFilter v\nSet after=1\n", 23,
       std::nullopt},
      {"an empty group is any other text", "[Main]\nIsValidFilter v =\n", 0, "1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptRunner runner(no_set, nt_only);
    EXPECT_EQ(runner.Run(Crlf(c.script)), c.status);
    EXPECT_EQ(runner.Variable("v"), c.v);
    EXPECT_EQ(runner.Variable("after"), std::nullopt);
  }
}

}  // namespace

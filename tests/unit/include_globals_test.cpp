#include "script/include_globals.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "package/container.h"
#include "script_runner.h"
#include "test_package.h"
#include "test_support.h"

namespace {

using namespace std::string_literals;
using test_support::Crlf;
using test_support::ExpectVariables;
using test_support::ScriptRunner;
using Report = test_support::RecordingReporter::Report;
using test_support::Variables;

// A main set holding GLOBALS.INC, made from fixtures/script/globals.txt.
class IncludeGlobalsFromPackage : public testing::Test {
 protected:
  void SetUp() override {
    const test_package::Entry globals{
        "GLOBALS.INC",
        test_support::ReadFileBytes(test_support::FixturePath("script/globals.lzh")),
        {}};
    ASSERT_TRUE(test_support::WriteFileBytes(set_path_, test_package::SignedSet({globals})));
    set_ = package::OpenPackageFile(set_path_);
    ASSERT_TRUE(set_.IsOpen());
  }

  std::uint32_t GlobalsCrc() const {
    return test_package::FileCrc(
        test_support::ReadFileBytes(test_support::FixturePath("script/globals.txt")));
  }

  test_support::ScratchFolder root_;
  std::string set_path_ = root_ / "ORQ1.tmp";
  package::PackageFile set_;
  package::PackageDescriptor descriptor_;
};

TEST_F(IncludeGlobalsFromPackage, RunsEachSetLineAsItIsRead) {
  descriptor_.directory.Append(test_package::Record("globals.inc", GlobalsCrc()));
  ScriptRunner runner(set_, descriptor_);
  ASSERT_EQ(runner.Run(Crlf("[ThisPackage]\nIncludeGlobals   GLOBALS.INC\nSet x = B\n"
                            "[Main]\nSet y = szProdDir\n")),
            status::kOk);
  ExpectVariables(runner, {{"TRUE", "1"},
                           {"FALSE", "0"},
                           {"A", "1"},
                           {"B", "1"},  // A was set when the line that reads it ran
                           {"szProdDir", "C:\\Program Files\\Orq"},
                           {"x", "1"},
                           {"y", "C:\\Program Files\\Orq"}});
  const std::vector<Report> expected = {{Report::kProgress, 74, "GLOBALS.INC"},
                                        {Report::kLog, 83, "GLOBALS.INC"},
                                        {Report::kProgress, 106, "GLOBALS.INC"},
                                        {Report::kLog, 106, "GLOBALS.INC"}};
  ASSERT_GE(runner.reporter.reports.size(), 2 + expected.size());
  EXPECT_EQ(std::vector<Report>(runner.reporter.reports.begin() + 2,
                                runner.reporter.reports.begin() + 2 + expected.size()),
            expected);
}

TEST_F(IncludeGlobalsFromPackage, FileThatFailsItsFetchIsNotRun) {
  const struct {
    const char* what;
    const char* name;
    std::optional<std::uint32_t> crc;  // of the directory record for GLOBALS.INC
    Status status;
  } cases[] = {
      {"CRC differs from the directory", "GLOBALS.INC", GlobalsCrc() ^ 1, status::kSignatureFailed},
      {"no directory record", "GLOBALS.INC", std::nullopt, status::kSignatureFailed},
      {"not in the set", "OTHER.INC", GlobalsCrc(), status::kExtractFailed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    descriptor_.directory.Clear();
    if (c.crc)
      descriptor_.directory.Append(test_package::Record("GLOBALS.INC", *c.crc));
    ScriptRunner runner(set_, descriptor_);
    const std::string script = "[ThisPackage]\r\nIncludeGlobals "s + c.name +
                               "\r\nSet after=1\r\n[Main]\r\nSet main=1\r\n";
    EXPECT_EQ(runner.Run(script), c.status);
    ExpectVariables(runner,
                    {{"TRUE", std::nullopt}, {"after", std::nullopt}, {"main", std::nullopt}});
    EXPECT_TRUE(runner.ReportsOf(message::kLoadingGlobals).empty());
  }
}

// Globals files already in the package folder are taken as they are, so these cases need no
// package. INCLUDEGLOBALS stands on line 3 of the script.
TEST(IncludeGlobals, ReducedGrammar) {
  const struct {
    const char* what;
    std::string globals;
    Status status;
    std::string error_text;
    Variables variables;
  } cases[] = {
      {"SET lines in any case, blanks and comments",
       "; globals\r\n\t  set a=1\r\nSET b = a ; no comment here\r\n;Set c=1\r\nSet d=2",
       0,
       "",
       {{"a", "1"}, {"b", "a ; no comment here"}, {"c", std::nullopt}, {"d", "2"}}},
      {"a later line sees an earlier one", "Set A=1\r\nSet B=A\r\n", 0, "", {{"B", "1"}}},
      {"lines end at CR: a bare LF runs on",
       "Set a=1\nSet b=2\r\n",
       0,
       "",
       {{"a", "1\nSet b=2"}, {"b", std::nullopt}}},
      {"a section header",
       "Set a=1\r\n[Main]\r\nSet b=1\r\n",
       2,
       "",
       {{"a", "1"}, {"b", std::nullopt}}},
      {"another command", "Set a=1\r\nCall X\r\nSet b=1\r\n", 2, "CALL", {{"b", std::nullopt}}},
      {"INCLUDEGLOBALS inside a globals file", "IncludeGlobals g.inc\r\n", 2, "INCLUDEGLOBALS", {}},
      {"a keyword glued to its argument", "Seta=1\r\n", 2, "SETA", {}},
      {"a failing SET", "Set novalue\r\nSet b=1\r\n", 23, "", {{"b", std::nullopt}}},
      {"a line of 100,000 characters",
       "Set a=" + std::string(100000, 'x'),
       3,
       "",
       {{"a", std::nullopt}}},
      {"a NUL byte ends the text", "Set a=1\r\n\0Call X\r\n"s, 0, "", {{"a", "1"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptRunner runner;
    ASSERT_TRUE(test_support::WriteFileText(runner.package_folder() + "\\g.inc", c.globals));
    EXPECT_EQ(
        runner.Run(Crlf("[ThisPackage]\nSet TRUE=1\nIncludeGlobals g.inc\n[Main]\nSet main=1\n")),
        c.status);
    ExpectVariables(runner, c.variables);
    EXPECT_EQ(runner.Variable("main"),
              c.status == 0 ? std::optional<std::string>("1") : std::nullopt);
    EXPECT_EQ(runner.context().error_text, c.error_text);
    // Errors inside the file are reported with the line of INCLUDEGLOBALS.
    if (c.status != 0) {
      EXPECT_EQ(runner.context().line, 3);
    }
    EXPECT_EQ(
        runner.ReportsOf(message::kLoadingGlobals),
        (std::vector<Report>{{Report::kProgress, 106, "g.inc"}, {Report::kLog, 106, "g.inc"}}));
  }
}

TEST(IncludeGlobals, FileThatCannotBeHad) {
  ScriptRunner missing;
  EXPECT_EQ(missing.Load(Crlf("[ThisPackage]\nIncludeGlobals g.inc\n[Main]\n")),
            status::kExtractFailed);

  ScriptRunner empty;
  ASSERT_TRUE(test_support::WriteFileText(empty.package_folder() + "\\g.inc", ""));
  EXPECT_EQ(empty.Load(Crlf("[ThisPackage]\nIncludeGlobals g.inc\n[Main]\n")), status::kEmptyFile);
}

TEST(IncludeGlobals, AnyBytesEndInAStatus) {
  std::uint32_t seed = 99;
  ScriptRunner runner;
  for (int round = 0; round < 100; ++round) {
    std::string junk = round % 2 == 0 ? "Set a=1\r\n" : "";
    const std::size_t length = 1 + round * 7;
    for (std::size_t i = 0; i < length; ++i) {
      seed = seed * 1664525 + 1013904223;
      junk += static_cast<char>(seed >> 24);
    }
    ASSERT_TRUE(test_support::WriteFileText(runner.package_folder() + "\\g.inc", junk));
    runner.Load(Crlf("[ThisPackage]\nIncludeGlobals g.inc\n[Main]\n"));
    EXPECT_EQ(runner.context().line, 2) << "round " << round;
  }
}

}  // namespace

// omnipack's command line: help, usage errors (exit code 2) and where build finds its defaults.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tool_test_support.h"

namespace tool_test {
namespace {

struct UsageCase {
  std::vector<std::string> args;
  std::string message;  // a part of the one line on stderr
};

TEST(CommandLine, WrongUsageExitsWithTwoAndOneLine) {
  const std::string stub = FixturePath("stub.exe").string();
  const std::string main = FixturePath("main").string();
  const std::vector<UsageCase> cases = {
      {{"pack"}, "omnipack: unknown command 'pack' (see 'omnipack --help')"},
      {{"build", "-o", "x.exe"}, "omnipack build: missing --main DIR"},
      {{"build", "--main", main}, "omnipack build: missing -o OUT"},
      {{"build", "--main", main, "-o", "x.exe", "--exclude-groups", "8"},
       "--exclude-groups takes a number from 0 to 7, not '8'"},
      {{"build", "--main", main, "-o", "x.exe", "--exclude-groups=-1"},
       "--exclude-groups takes a number from 0 to 7, not '-1'"},
      {{"build", "--main", main, "-o", "x.exe", "--compress"}, "unknown option '--compress'"},
      {{"build", "--main", main, "--main", main, "-o", "x.exe"},
       "option --main given more than once"},
      {{"build", "--stub", stub, "--main"}, "option --main needs a value"},
      {{"build", "--nt-only=yes", "--main", main, "-o", "x.exe"},
       "option --nt-only takes no value"},
      {{"build", "extra", "--main", main, "-o", "x.exe"}, "unexpected argument 'extra'"},
      {{"list"}, "omnipack list: missing arguments (see 'omnipack list --help')"},
      {{"verify", "a.exe", "b.exe"}, "unexpected argument 'b.exe'"},
      {{"extract", "a.exe"}, "omnipack extract: missing -o DIR"},
      {{"extract", "--set", "all", "a.exe", "-o", "out"}, "--set takes main or lang, not 'all'"},
      {{"encode", "in.bin"}, "omnipack encode: missing arguments"},
      {{"decode", "a", "b", "c"}, "unexpected argument 'c'"},
  };
  for (const UsageCase& usage : cases) {
    SCOPED_TRACE(usage.message);
    const ToolRun run = RunTool(usage.args);
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
    EXPECT_NE(run.err.find(usage.message), std::string::npos) << run.err;
  }
  const ToolRun bare = RunTool({});
  EXPECT_EQ(bare.exit_code, 2);
  EXPECT_NE(bare.err.find("usage: omnipack COMMAND"), std::string::npos);
}

TEST(CommandLine, HelpForTheToolAndEachCommand) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--help"}, "usage: omnipack COMMAND"},
      {{"-h"}, "extract"},
      {{"build", "--help"}, "--no-record NAME"},
      {{"build", "--main", "x", "-h"}, "--exclude-groups N"},
      {{"list", "--help"}, "usage: omnipack list [--json] FILE"},
      {{"verify", "--help"}, "Exit code 0 when every rule holds"},
      {{"extract", "--help"}, "--set main|lang"},
      {{"encode", "--help"}, "usage: omnipack encode IN OUT"},
      {{"decode", "--help"}, "usage: omnipack decode IN OUT"},
  };
  for (const auto& [args, text] : cases) {
    SCOPED_TRACE(text);
    const ToolRun run = RunTool(args);
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find(text), std::string::npos) << run.out;
  }
}

// omnipack is installed as dist/bin/omnipack and finds dist/win32/installer.exe and
// dist/win32/lang by itself.
TEST(CommandLine, BuildFindsStubAndLanguagesBesideItsOwnFolder) {
  TempDir dist;
  fs::create_directories(dist.path() / "bin");
  const std::string tool = dist / "bin/omnipack";
  fs::copy_file(OMNIPACK_BINARY, tool);
  const std::string out = dist / "update.exe";
  const std::vector<std::string> build = {"build", "--main", FixturePath("main").string(), "-o",
                                          out};

  const std::string stub = (dist.path() / "win32" / "installer.exe").string();
  ToolRun run = RunTool(build, tool);
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err, "omnipack: " + stub +
                         ": default stub not found; name the installer stub with --stub FILE\n");

  fs::create_directories(dist.path() / "win32");
  fs::copy_file(FixturePath("stub.exe"), stub);
  run = RunTool(build, tool);
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err, "omnipack: " + (dist / "win32/lang") +
                         ": default language folder not found; name one with --lang DIR\n");

  // A language folder without files would give a set that the installer cannot verify.
  fs::create_directories(dist.path() / "win32" / "lang");
  run = RunTool(build, tool);
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err, "omnipack: " + (dist / "win32/lang") + ": holds no language library\n");
  fs::remove(dist.path() / "win32" / "lang");

  fs::copy(FixturePath("lang"), dist.path() / "win32" / "lang");
  run = RunTool(build, tool);
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.err.find("error"), std::string::npos) << run.err;
  const ToolRun list = RunTool({"list", out});
  EXPECT_NE(list.out.find("language set: "), std::string::npos);
  EXPECT_NE(list.out.find("OPStbResDEU.dll"), std::string::npos) << list.out;
  EXPECT_EQ(RunTool({"verify", out}).exit_code, 0);
}

}  // namespace
}  // namespace tool_test

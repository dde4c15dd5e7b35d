#include "shell/options/run_options.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "test_support.h"

namespace {

using shell::ParseCommandLine;
using shell::ReadRunOptions;
using shell::ReadSetupIss;
using shell::RunOptions;

RunOptions OptionsFor(const std::string& line, const std::string& installer_path) {
  const auto parsed = ParseCommandLine(line);
  EXPECT_TRUE(parsed.has_value()) << line;
  return ReadRunOptions(parsed.value_or(shell::ParsedCommandLine{}), installer_path);
}

void ExpectOptions(const RunOptions& actual, const RunOptions& expected, const std::string& line) {
  EXPECT_EQ(actual.silent, expected.silent) << line;
  EXPECT_EQ(actual.no_change, expected.no_change) << line;
  EXPECT_EQ(actual.extract_only, expected.extract_only) << line;
  EXPECT_EQ(actual.extract_target, expected.extract_target) << line;
  EXPECT_EQ(actual.prompt, expected.prompt) << line;
  EXPECT_EQ(actual.restart, expected.restart) << line;
  EXPECT_EQ(actual.log_path, expected.log_path) << line;
}

class RunOptionsTest : public ::testing::Test {
 protected:
  void WriteSetupIss(const std::string& text) {
    ASSERT_TRUE(test_support::WriteFileText(folder_ / "SETUP.ISS", text));
  }
  std::string Installer() const { return folder_ / "update.exe"; }

  test_support::ScratchFolder folder_;
};

struct OptionsCase {
  std::string line;
  RunOptions expected;
};

TEST_F(RunOptionsTest, CommandLineAloneSetsItsFlags) {
  const OptionsCase cases[] = {
      {"", {}},
      {"/PROMPT -reboot /NC", {.no_change = true, .prompt = true, .restart = true}},
      {"/LOGFILE D:\\a.log", {.log_path = "D:\\a.log"}},
      {"/E", {.extract_only = true}},
      {"/E D:\\out", {.extract_only = true, .extract_target = "D:\\out"}},
      {"-Silent", {.silent = true}},
      {"/S", {.silent = true}},
  };
  for (const OptionsCase& c : cases)
    ExpectOptions(OptionsFor(c.line, Installer()), c.expected, c.line);
}

TEST_F(RunOptionsTest, SetupIssCountsOnlyForSWithoutSilent) {
  WriteSetupIss("[OmniPackOptions]\r\nbReboot=1\r\nbPrompt=1\r\nszLogFile=D:\\iss.log\r\n");
  const OptionsCase cases[] = {
      {"/S", {.silent = true, .prompt = true, .restart = true, .log_path = "D:\\iss.log"}},
      {"/S /LOGFILE D:\\a.log",
       {.silent = true, .prompt = true, .restart = true, .log_path = "D:\\iss.log"}},
      {"/SILENT /S", {.silent = true}},
      {"/SILENT", {.silent = true}},
      {"", {}},
      {"/E /REBOOT", {.extract_only = true, .restart = true}},
  };
  for (const OptionsCase& c : cases)
    ExpectOptions(OptionsFor(c.line, Installer()), c.expected, c.line);
}

TEST_F(RunOptionsTest, SetupIssNeverTurnsAnythingOff) {
  WriteSetupIss("[OmniPackOptions]\nbReboot=0\nbPrompt=0\nszLogFile=\n");
  const std::string line = "/S /NC /REBOOT /PROMPT /LOGFILE D:\\a.log /E D:\\out";
  ExpectOptions(OptionsFor(line, Installer()),
                {.silent = true,
                 .no_change = true,
                 .extract_only = true,
                 .extract_target = "D:\\out",
                 .prompt = true,
                 .restart = true,
                 .log_path = "D:\\a.log"},
                line);
}

TEST_F(RunOptionsTest, SetupIssIsReadBesideTheInstaller) {
  WriteSetupIss("[Other]\nbReboot=1\n[omnipackoptions]\nBPROMPT=7\nszlogfile = D:\\iss.log \n");
  RunOptions options;
  EXPECT_TRUE(ReadSetupIss(Installer(), options));
  ExpectOptions(options, {.prompt = true, .log_path = "D:\\iss.log"}, "case-blind names");

  // Another folder has no SETUP.ISS: nothing is read and nothing changes.
  test_support::ScratchFolder elsewhere;
  RunOptions untouched{.restart = true, .log_path = "D:\\a.log"};
  EXPECT_FALSE(ReadSetupIss(elsewhere / "update.exe", untouched));
  ExpectOptions(untouched, {.restart = true, .log_path = "D:\\a.log"}, "no file");
}

}  // namespace

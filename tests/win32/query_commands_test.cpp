// The system query commands and WAITFORTIME against the running system (Wine in its default, NT
// family mode; the 9x answer of GETOSTYPE is checked end to end).

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "command_test.h"
#include "platform/filesystem.h"
#include "scoped_search_path.h"
#include "script/command_table.h"
#include "test_support.h"

namespace {

namespace opcode = script::opcode;
using test_support::ScratchFolder;

std::string SystemFolder(UINT(WINAPI* call)(LPSTR, UINT)) {
  char buffer[MAX_PATH];
  return std::string(buffer, call(buffer, sizeof buffer));
}

using QueryCommands = test_support::CommandTest;

TEST_F(QueryCommands, AnswerIntoTheNamedVariable) {
  const std::string system = SystemFolder(::GetSystemDirectoryA);
  const struct {
    script::Opcode opcode;
    std::string answer;
  } cases[] = {
      {opcode::kGetSystemDir, system},
      {opcode::kGetDriverDir, system + "\\Drivers"},
      {opcode::kGetWindowsDir, SystemFolder(::GetWindowsDirectoryA)},
      {opcode::kGetOsType, "WINNT_OR_NEWER"},
      {opcode::kGetProcessorType, "PROCESSOR_INTEL"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(script::KeywordOf(c.opcode));
    context.variables = script::VariableTable{};
    EXPECT_EQ(Run(c.opcode, " answer\t"), status::kOk);
    EXPECT_EQ(Variable("answer"), c.answer);
    EXPECT_FALSE(Stopped());
  }
  EXPECT_TRUE(platform::IsFolder(system + "\\Drivers"));
}

TEST_F(QueryCommands, GetOrqIniPathAlwaysFailsWithoutEndingItsSection) {
  EXPECT_EQ(Run(opcode::kGetOrqIniPath, "path"), 38);
  EXPECT_EQ(Variable("path"), std::nullopt);
  EXPECT_FALSE(Stopped());
}

TEST_F(QueryCommands, GetScanUtilsPathSearchesThePathOfTheProcess) {
  ScratchFolder root;
  const std::string scanner = root / "scanner";
  const std::string partial = root / "partial";
  for (const std::string& folder : {scanner, partial})
    ASSERT_EQ(platform::CreateFolder(folder), platform::CreateFolderResult::kCreated);
  for (const char* file : {"pguard.exe", "probepm.exe", "DETECT.DAT", "REPAIR.DAT", "TITLES.DAT"})
    ASSERT_TRUE(test_support::WriteFileText(scanner + "\\" + file, "x"));
  ASSERT_TRUE(test_support::WriteFileText(partial + "\\pguard.exe", "x"));

  const struct {
    std::string path;
    std::optional<std::string> folder;
  } cases[] = {
      {partial + ";  " + scanner + "  ;", scanner},
      {partial, std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    const test_support::ScopedSearchPath search_path(c.path);
    context.variables = script::VariableTable{};
    // No scanner is no failure: the section ends and the variable stays unset.
    EXPECT_EQ(Run(opcode::kGetScanUtilsPath, "utils"), status::kOk);
    EXPECT_EQ(Variable("utils"), c.folder);
    EXPECT_EQ(Stopped(), !c.folder);
  }
}

TEST_F(QueryCommands, WaitForTimeSleepsTheCountItIsGiven) {
  using std::chrono::milliseconds;
  const struct {
    std::string argument;
    std::vector<std::pair<std::string, std::string>> variables;
    milliseconds at_least;
    milliseconds at_most;  // generous: only a wait that is not cut short or skipped shows
  } cases[] = {
      {"60", {}, milliseconds(55), milliseconds(5000)},
      {"pause", {{"pause", "60"}}, milliseconds(55), milliseconds(5000)},
      {"abc", {}, milliseconds(0), milliseconds(5000)},
      {"-1", {}, milliseconds(0), milliseconds(5000)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.argument);
    context.variables = script::VariableTable{};
    for (const auto& [name, value] : c.variables)
      ASSERT_EQ(context.variables.Set(name, value), status::kOk);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Run(opcode::kWaitForTime, c.argument), status::kOk);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, c.at_least);
    EXPECT_LE(waited, c.at_most);
    EXPECT_TRUE(reporter.reports.empty());
  }
}

}  // namespace

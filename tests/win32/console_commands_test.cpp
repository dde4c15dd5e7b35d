// TERMINATEDAVRIX against a real console process (tests/helpers/davrix_console.cpp, built as
// DAVRIX.EXE) and one that is not the console.

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "command_test.h"
#include "script/command_table.h"
#include "test_process.h"
#include "test_support.h"

namespace {

using test_support::HelperPath;
using test_support::Quoted;
using test_support::ScratchFolder;
using test_support::TestProcess;

using ConsoleCommands = test_support::CommandTest;

// The console is ended with exit code 0 wherever it runs from and whatever the case of its name;
// a program of another name, here the console's own program under another name, runs on.
TEST_F(ConsoleCommands, TerminateDavrixEndsTheConsoleAndNothingElse) {
  ScratchFolder folder;
  const std::string lower_case = folder / "davrix.exe";
  const std::string other = folder / "davrix2.exe";
  for (const std::string& copy : {lower_case, other})
    ASSERT_TRUE(::CopyFileA(HelperPath("DAVRIX.EXE").c_str(), copy.c_str(), TRUE));
  const TestProcess console(Quoted(HelperPath("DAVRIX.EXE")));
  const TestProcess second_console(Quoted(lower_case));
  const TestProcess not_console(Quoted(other));
  ASSERT_TRUE(console.Running() && second_console.Running() && not_console.Running());

  EXPECT_EQ(Run(script::opcode::kTerminateDavrix, "any text"), status::kOk);
  EXPECT_FALSE(Stopped());
  EXPECT_EQ(console.ExitCode(0), std::optional<DWORD>(0));
  EXPECT_EQ(second_console.ExitCode(0), std::optional<DWORD>(0));
  EXPECT_TRUE(not_console.Running());
}

}  // namespace

// The command lines STARTORQAPPS starts: the program an item names is quoted when its path holds
// blanks, so that the system never takes a shorter part of the path for the program.

#include "system/program_command_line.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace {

using system_commands::ProgramCommandLine;
using test_support::ScratchFolder;

TEST(ProgramCommandLine, QuotesTheProgramTheLineNames) {
  ScratchFolder root;
  const std::string tools = root / "My Tools";
  ASSERT_TRUE(::CreateDirectoryA(tools.c_str(), nullptr));
  ASSERT_TRUE(test_support::WriteFileText(tools + "\\tool.exe", "x"));
  ASSERT_TRUE(test_support::WriteFileText(root / "My.exe", "x"));

  const struct {
    std::string item;
    std::string command_line;
  } cases[] = {
      {"\"C:\\Program Files\\Velkor\\app.exe\" /s", "\"C:\\Program Files\\Velkor\\app.exe\" /s"},
      {"C:\\Velkor\\app.exe", "C:\\Velkor\\app.exe"},
      {"notepad.exe /p", "\"notepad.exe\" /p"},
      {"C:\\Program Files\\Velkor\\app.exe /s x.exe",
       "\"C:\\Program Files\\Velkor\\app.exe\" /s x.exe"},
      {"C:\\Program Files\\Velkor\\APP.EXE", "\"C:\\Program Files\\Velkor\\APP.EXE\""},
      {"C:\\Program Files\\V\\app.exe.old\\run.exe -x",
       "\"C:\\Program Files\\V\\app.exe.old\\run.exe\" -x"},
      // Without ".exe", the longest part the search finds; not the shorter "My".
      {tools + "\\tool /x y", "\"" + tools + "\\tool\" /x y"},
      {"C:\\No Such Folder\\tool /x", "\"C:\\No Such Folder\\tool /x\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.item);
    EXPECT_EQ(ProgramCommandLine(c.item), c.command_line);
  }
}

}  // namespace

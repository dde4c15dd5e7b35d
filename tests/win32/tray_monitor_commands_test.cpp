// ISTRAYMONRUNNING and CLOSETRAYMON against a real tray monitor stand-in
// (tests/helpers/tray_monitor.cpp), which holds the close event while it runs.

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "command_test.h"
#include "script/command_table.h"
#include "test_process.h"

namespace {

namespace opcode = script::opcode;
using test_support::HelperPath;
using test_support::Quoted;
using test_support::TestProcess;
using test_support::WaitUntil;

bool CloseEventExists() {
  for (const char* name : {"Global\\TRAYMON_CLOSE_EVENT", "TRAYMON_CLOSE_EVENT"}) {
    if (const HANDLE event = ::OpenEventA(SYNCHRONIZE, FALSE, name)) {
      ::CloseHandle(event);
      return true;
    }
  }
  return false;
}

using TrayMonitorCommands = test_support::CommandTest;

TEST_F(TrayMonitorCommands, CloseTrayMonEndsTheRunningMonitor) {
  ASSERT_FALSE(CloseEventExists());
  EXPECT_EQ(Run(opcode::kIsTrayMonRunning, " running "), status::kOk);
  EXPECT_EQ(Variable("running"), "0");

  const TestProcess monitor(Quoted(HelperPath("tray_monitor.exe")));
  ASSERT_TRUE(WaitUntil(CloseEventExists));
  EXPECT_EQ(Run(opcode::kIsTrayMonRunning, "running"), status::kOk);
  EXPECT_EQ(Variable("running"), "1");

  EXPECT_EQ(Run(opcode::kCloseTrayMon, ""), status::kOk);
  EXPECT_FALSE(Stopped());
  EXPECT_EQ(monitor.ExitCode(), std::optional<DWORD>(0));
  EXPECT_EQ(Run(opcode::kIsTrayMonRunning, "running"), status::kOk);
  EXPECT_EQ(Variable("running"), "0");
}

// Without a monitor the event is made, set and closed again: nothing is left to find.
TEST_F(TrayMonitorCommands, CloseTrayMonWithoutAMonitorLeavesNoEvent) {
  EXPECT_EQ(Run(opcode::kCloseTrayMon, ""), status::kOk);
  EXPECT_FALSE(CloseEventExists());
}

}  // namespace

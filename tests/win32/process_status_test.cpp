// The process list of TERMINATEDAVRIX: every process, however many run, with the path of its
// program.

#include "system/process_status.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/unique_handle.h"
#include "test_process.h"
#include "test_support.h"

namespace {

using system_commands::ProcessStatus;
using test_support::HelperPath;
using test_support::Quoted;
using test_support::ScratchFolder;
using test_support::TestProcess;

// More processes than the list's first buffer holds, each waiting until it is ended.
TEST(ProcessStatus, ListsEveryProcessWithItsProgram) {
  ScratchFolder folder;
  const std::string program = folder / "waiter.exe";
  ASSERT_TRUE(::CopyFileA(HelperPath("DAVRIX.EXE").c_str(), program.c_str(), TRUE));
  std::vector<std::unique_ptr<TestProcess>> waiters;
  for (int i = 0; i < 24; ++i) {
    waiters.push_back(std::make_unique<TestProcess>(Quoted(program)));
    ASSERT_TRUE(waiters.back()->Running());
  }

  const ProcessStatus status_calls;
  ASSERT_TRUE(status_calls.IsReady());
  const std::vector<DWORD> ids = status_calls.ProcessIds();
  EXPECT_GT(ids.size(), waiters.size());
  for (const auto& waiter : waiters) {
    SCOPED_TRACE(waiter->Id());
    EXPECT_NE(std::find(ids.begin(), ids.end(), waiter->Id()), ids.end());
    const platform::KernelHandle process(
        ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, waiter->Id()));
    EXPECT_EQ(status_calls.MainModulePath(process.Get()), program);
  }
}

}  // namespace

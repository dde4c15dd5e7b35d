// The process list of TERMINATEDAVRIX: every process, however many run, with the file name of its
// program.

#include "system/process_list.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "base/ascii_case.h"
#include "test_process.h"
#include "test_support.h"

namespace {

using system_commands::RunningProcess;
using system_commands::RunningProcesses;
using test_support::HelperPath;
using test_support::Quoted;
using test_support::ScratchFolder;
using test_support::TestProcess;

// Many processes of one program, each waiting until it is ended, and one of another name: each is
// listed under its own.
TEST(ProcessList, ListsEveryProcessWithItsProgram) {
  ScratchFolder folder;
  const std::string program = folder / "waiter.exe";
  const std::string other = folder / "other_waiter.exe";
  for (const std::string& copy : {program, other})
    ASSERT_TRUE(::CopyFileA(HelperPath("DAVRIX.EXE").c_str(), copy.c_str(), TRUE));
  std::vector<std::unique_ptr<TestProcess>> waiters;
  for (int i = 0; i < 24; ++i) {
    waiters.push_back(std::make_unique<TestProcess>(Quoted(program)));
    ASSERT_TRUE(waiters.back()->Running());
  }
  const TestProcess other_waiter(Quoted(other));
  ASSERT_TRUE(other_waiter.Running());

  const std::vector<RunningProcess> processes = RunningProcesses();
  EXPECT_GT(processes.size(), waiters.size() + 1);
  const auto program_of = [&](DWORD id) {
    const auto found = std::find_if(processes.begin(), processes.end(),
                                    [id](const RunningProcess& p) { return p.id == id; });
    return found == processes.end() ? std::string("(not listed)") : found->program;
  };
  for (const auto& waiter : waiters) {
    SCOPED_TRACE(waiter->Id());
    EXPECT_TRUE(base::EqualsIgnoringCase(program_of(waiter->Id()), "waiter.exe"))
        << program_of(waiter->Id());
  }
  EXPECT_TRUE(base::EqualsIgnoringCase(program_of(other_waiter.Id()), "other_waiter.exe"))
      << program_of(other_waiter.Id());
}

}  // namespace

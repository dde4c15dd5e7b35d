#pragma once

// The programs of tests/helpers/ that tests start and watch: a running process that is ended, if it
// still runs, when the object goes; and waiting for a condition without a fixed pause.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/win32/unique_handle.h"
#include "test_support.h"

namespace test_support {

// The system path of a file built into tests/helpers/.
inline std::string HelperPath(std::string_view file) {
  return SystemPath(std::string(OMNI_HELPERS_DIR) + "/" + std::string(file));
}

// text in quotes, for command lines.
inline std::string Quoted(std::string_view text) {
  std::string quoted;
  quoted.reserve(text.size() + 2);
  quoted.append(1, '"').append(text).append(1, '"');
  return quoted;
}

// True as soon as condition holds, polled every 50 ms; false when it still fails after
// timeout_ms.
inline bool WaitUntil(const std::function<bool()>& condition, DWORD timeout_ms = 10000) {
  const ULONGLONG end = ::GetTickCount64() + timeout_ms;
  while (!condition()) {
    if (::GetTickCount64() >= end)
      return false;
    ::Sleep(50);
  }
  return true;
}

class TestProcess {
 public:
  // Starts command_line (its first word the program) and does not wait for it.
  explicit TestProcess(std::string command_line) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (::CreateProcessA(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                         &startup, &started)) {
      process_.Reset(started.hProcess);
      const platform::KernelHandle thread(started.hThread);
    }
  }
  ~TestProcess() {
    if (Running()) {
      ::TerminateProcess(process_.Get(), 99);
      ::WaitForSingleObject(process_.Get(), 5000);
    }
  }
  TestProcess(const TestProcess&) = delete;
  TestProcess& operator=(const TestProcess&) = delete;

  bool Started() const { return process_.IsOpen(); }
  DWORD Id() const { return ::GetProcessId(process_.Get()); }
  bool Running() const {
    return Started() && ::WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT;
  }
  // The exit code once the process has ended, within timeout_ms; none while it runs.
  std::optional<DWORD> ExitCode(DWORD timeout_ms = 10000) const {
    if (!Started() || ::WaitForSingleObject(process_.Get(), timeout_ms) != WAIT_OBJECT_0)
      return std::nullopt;
    DWORD code = 0;
    ::GetExitCodeProcess(process_.Get(), &code);
    return code;
  }

 private:
  platform::KernelHandle process_;
};

}  // namespace test_support

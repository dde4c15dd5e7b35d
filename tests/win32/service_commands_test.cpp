// The service commands against services of the prefix's own service manager: each case installs
// the recording service (helpers/recording_service.cpp) under the names it needs, brings each
// into its state, runs one command, and reads back the states and what every service recorded.
// The commands' fixed waits (one to three seconds a service) make these tests slow.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "command_test.h"
#include "log/messages.h"
#include "platform/system.h"
#include "platform/win32/unique_handle.h"
#include "script/command_table.h"
#include "script/variables.h"
#include "test_support.h"

namespace {

using Report = test_support::RecordingReporter::Report;
using platform::ServiceHandle;
namespace opcode = script::opcode;

enum class Start { kStopped, kRunning, kStartPending, kStopPending };

DWORD StateOf(SC_HANDLE service) {
  SERVICE_STATUS status{};
  return ::QueryServiceStatus(service, &status) ? status.dwCurrentState : 0;
}

// Asks until the service is in state, for up to ten seconds.
bool WaitForState(SC_HANDLE service, DWORD state) {
  for (int poll = 0; poll < 100; ++poll) {
    if (StateOf(service) == state)
      return true;
    ::Sleep(100);
  }
  return false;
}

// The recording service installed under a name, removed (stopped first) when destroyed.
class TestService {
 public:
  TestService(const std::string& name, const std::string& record_file, DWORD start_ms,
              DWORD stop_ms)
      : record_file_(record_file),
        manager_(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS)) {
    const std::string program =
        test_support::SystemPath(std::string(OMNI_HELPERS_DIR) + "/recording_service.exe");
    const std::string command_line = "\"" + program + "\" \"" + record_file + "\" " +
                                     std::to_string(start_ms) + " " + std::to_string(stop_ms);
    service_.Reset(::CreateServiceA(manager_.Get(), name.c_str(), name.c_str(), SERVICE_ALL_ACCESS,
                                    SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                    SERVICE_ERROR_IGNORE, command_line.c_str(), nullptr, nullptr,
                                    nullptr, nullptr, nullptr));
    EXPECT_TRUE(service_.IsOpen()) << name << ": " << ::GetLastError();
  }
  ~TestService() {
    if (StateOf(Get()) != SERVICE_STOPPED) {
      WaitForState(Get(), SERVICE_RUNNING);
      SERVICE_STATUS status{};
      ::ControlService(Get(), SERVICE_CONTROL_STOP, &status);
      EXPECT_TRUE(WaitForState(Get(), SERVICE_STOPPED));
    }
    ::DeleteService(Get());
  }
  TestService(const TestService&) = delete;
  TestService& operator=(const TestService&) = delete;

  SC_HANDLE Get() const { return service_.Get(); }

  // Brings the freshly installed service into its starting state.
  void BringInto(Start start) {
    if (start == Start::kStopped)
      return;
    ASSERT_TRUE(::StartServiceA(Get(), 0, nullptr)) << ::GetLastError();
    if (start == Start::kStartPending) {
      ASSERT_EQ(StateOf(Get()), static_cast<DWORD>(SERVICE_START_PENDING));
      return;
    }
    ASSERT_TRUE(WaitForState(Get(), SERVICE_RUNNING));
    if (start == Start::kStopPending) {
      SERVICE_STATUS status{};
      ASSERT_TRUE(::ControlService(Get(), SERVICE_CONTROL_STOP, &status));
      ASSERT_EQ(StateOf(Get()), static_cast<DWORD>(SERVICE_STOP_PENDING));
    }
  }

  // The lines the service has written: "start", then the code of each control.
  std::vector<std::string> Record() const {
    const std::vector<std::uint8_t> bytes = test_support::ReadFileBytes(record_file_);
    std::istringstream text(std::string(bytes.begin(), bytes.end()));
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);) {
      if (!line.empty() && line.back() == '\r')
        line.pop_back();
      lines.push_back(line);
    }
    return lines;
  }

 private:
  std::string record_file_;
  ServiceHandle manager_;
  ServiceHandle service_;
};

// One service of a case: how it is installed and started, what the command leaves.
struct ServiceSetup {
  std::string name;
  Start start;
  DWORD start_ms = 0;  // start-pending this long when started
  DWORD stop_ms = 0;   // stop-pending this long when stopped
};
struct ServiceOutcome {
  DWORD state;
  std::vector<std::string> record;
};

struct Case {
  const char* what;
  std::vector<ServiceSetup> services;
  script::Opcode command;
  std::string argument;
  std::vector<Report> reports;
  std::vector<ServiceOutcome> outcomes;  // one per service, in order
};

Report Reported(MessageId id, const std::string& name) {
  return {Report::kProgress, id, name};
}
Report Logged(MessageId id, const std::string& name) {
  return {Report::kLog, id, name};
}

class ServiceCommands : public test_support::CommandTest {
 protected:
  void Check(const Case& c) {
    SCOPED_TRACE(c.what);
    reporter.reports.clear();
    test_support::ScratchFolder records;
    std::vector<std::unique_ptr<TestService>> services;
    for (const ServiceSetup& setup : c.services) {
      services.push_back(std::make_unique<TestService>(setup.name, records / (setup.name + ".txt"),
                                                       setup.start_ms, setup.stop_ms));
      services.back()->BringInto(setup.start);
    }
    EXPECT_EQ(Run(c.command, c.argument), status::kOk);
    EXPECT_FALSE(Stopped());
    EXPECT_EQ(reporter.reports, c.reports);
    ASSERT_EQ(services.size(), c.outcomes.size());
    for (std::size_t i = 0; i < services.size(); ++i) {
      SCOPED_TRACE(c.services[i].name);
      EXPECT_EQ(StateOf(services[i]->Get()), c.outcomes[i].state);
      EXPECT_EQ(services[i]->Record(), c.outcomes[i].record);
    }
  }
};

constexpr DWORD kRunning = SERVICE_RUNNING;
constexpr DWORD kStopped = SERVICE_STOPPED;

TEST_F(ServiceCommands, StopWaitsForEachServiceToStop) {
  const std::vector<Case> cases = {
      {"a running service is sent the stop control",
       {{"BULWARK", Start::kRunning}},
       opcode::kStopOrqServices,
       "BULWARK",
       {Reported(message::kStoppingService, "BULWARK"),
        Logged(message::kStoppingService, "BULWARK")},
       {{kStopped, {"start", "1"}}}},
      {"a stopped service is left alone, without a report",
       {{"BULWARK", Start::kStopped}},
       opcode::kStopOrqServices,
       "BULWARK",
       {},
       {{kStopped, {}}}},
      {"a stopping service is waited for, not sent another stop",
       {{"BULWARK", Start::kStopPending, 0, 1500}},
       opcode::kStopOrqServices,
       "BULWARK",
       {},
       {{kStopped, {"start", "1"}}}},
      {"a starting service is let start, then stopped",
       {{"ZENTORA", Start::kStartPending, 1500}},
       opcode::kStopOrqServices,
       "zentora",
       {Reported(message::kStoppingService, "zentora"),
        Logged(message::kStoppingService, "zentora")},
       {{kStopped, {"start", "1"}}}},
      {"an empty item ends the list; a missing service is skipped",
       {{"BULWARK", Start::kRunning}, {"ZENTORA", Start::kRunning}},
       opcode::kStopOrqServices,
       "NoSuchService, BULWARK,,ZENTORA",
       {Reported(message::kStoppingService, "BULWARK"),
        Logged(message::kStoppingService, "BULWARK")},
       {{kStopped, {"start", "1"}}, {kRunning, {"start"}}}},
  };
  for (const Case& c : cases)
    Check(c);
}

TEST_F(ServiceCommands, StartStartsOnlyWhatDoesNotRun) {
  const std::vector<Case> cases = {
      {"a stopped service is started and waited for",
       {{"OmniPackTestService", Start::kStopped, 500}},
       opcode::kStartOrqServices,
       "OmniPackTestService",
       {Reported(message::kStartingService, "OmniPackTestService"),
        Logged(message::kStartingService, "OmniPackTestService")},
       {{kRunning, {"start"}}}},
      {"a running service is not started again",
       {{"OmniPackTestService", Start::kRunning}},
       opcode::kStartOrqServices,
       "OmniPackTestService",
       {},
       {{kRunning, {"start"}}}},
  };
  for (const Case& c : cases)
    Check(c);
}

TEST_F(ServiceCommands, EnableAndDisableSendTheProductCodes) {
  const std::vector<Case> cases = {
      {"enable and disable codes of both products",
       {{"BULWARK", Start::kRunning}, {"ZENTORA", Start::kRunning}},
       opcode::kEnableOrqServices,
       "bulwark,ZENTORA",
       {Reported(message::kEnablingService, "bulwark"),
        Logged(message::kEnablingService, "bulwark"),
        Reported(message::kEnablingService, "ZENTORA"),
        Logged(message::kEnablingService, "ZENTORA")},
       {{kRunning, {"start", "135"}}, {kRunning, {"start", "145"}}}},
      {"disable reaches a product service; another service is sent nothing",
       {{"ZENTORA", Start::kRunning}, {"OmniPackTestService", Start::kRunning}},
       opcode::kDisableOrqServices,
       "OmniPackTestService,ZENTORA",
       {Reported(message::kDisablingService, "ZENTORA"),
        Logged(message::kDisablingService, "ZENTORA")},
       {{kRunning, {"start", "144"}}, {kRunning, {"start"}}}},
      {"a disable code that a stopped service cannot take is logged",
       {{"BULWARK", Start::kStopped}},
       opcode::kDisableOrqServices,
       "BULWARK",
       {Reported(message::kDisablingService, "BULWARK"),
        Logged(message::kDisablingService, "BULWARK"),
        Logged(message::kServiceDisableFailed, "BULWARK")},
       {{kStopped, {}}}},
  };
  for (const Case& c : cases)
    Check(c);
}

TEST_F(ServiceCommands, IsServiceRunningAsksTheState) {
  test_support::ScratchFolder records;
  TestService running("BULWARK", records / "running.txt", 0, 0);
  running.BringInto(Start::kRunning);
  TestService stopped("ZENTORA", records / "stopped.txt", 0, 0);
  const struct {
    const char* argument;
    const char* answer;
  } cases[] = {
      {"up = BULWARK", "1"},
      {"up = zentora", "0"},
      {"up = NoSuchService", "0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.argument);
    EXPECT_EQ(Run(opcode::kIsServiceRunning, c.argument), status::kOk);
    EXPECT_EQ(Variable("up"), c.answer);
  }
  EXPECT_EQ(Run(opcode::kIsServiceRunning, "BULWARK"), status::kNowhereToPutValue);
  EXPECT_TRUE(Stopped());
}

// On the 9x family the service commands do nothing and succeed. Wine gives a program its
// Windows version by the program's file name, so this runs in a copy of the test program that
// Wine takes for Windows 98 (NineFamily below starts it); in the test program itself it is
// skipped.
constexpr char kAsNineFamily[] = "OMNI_SERVICE_TESTS_AS_9X";

TEST_F(ServiceCommands, DoNothingOnTheNineFamily) {
  if (::GetEnvironmentVariableA(kAsNineFamily, nullptr, 0) == 0)
    GTEST_SKIP() << "runs in the copy that ServiceCommands.NineFamily starts";
  ASSERT_FALSE(platform::IsNtFamily());
  test_support::ScratchFolder records;
  TestService service("BULWARK", records / "record.txt", 0, 0);
  service.BringInto(Start::kRunning);
  ASSERT_EQ(script::SetVariable(context, "up", "as before"), status::kOk);
  const struct {
    script::Opcode command;
    const char* argument;
  } cases[] = {
      {opcode::kStopOrqServices, "BULWARK"},        {opcode::kDisableOrqServices, "BULWARK"},
      {opcode::kEnableOrqServices, "BULWARK"},      {opcode::kIsServiceRunning, "up = BULWARK"},
      {opcode::kIsServiceRunning, "no assignment"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.argument);
    EXPECT_EQ(Run(c.command, c.argument), status::kOk);
  }
  EXPECT_EQ(Variable("up"), "as before");
  EXPECT_TRUE(reporter.reports.empty());
  EXPECT_EQ(StateOf(service.Get()), kRunning);
  EXPECT_EQ(service.Record(), std::vector<std::string>{"start"});
}

TEST_F(ServiceCommands, NineFamily) {
  test_support::ScratchFolder folder;
  const std::string copy = folder / "service_tests_9x.exe";
  char own[MAX_PATH];
  ASSERT_NE(::GetModuleFileNameA(nullptr, own, sizeof own), 0u);
  ASSERT_TRUE(::CopyFileA(own, copy.c_str(), TRUE));
  const std::string version_key = "Software\\Wine\\AppDefaults\\service_tests_9x.exe";
  ASSERT_EQ(
      ::RegSetKeyValueA(HKEY_CURRENT_USER, version_key.c_str(), "Version", REG_SZ, "win98", 6),
      ERROR_SUCCESS);
  ::SetEnvironmentVariableA(kAsNineFamily, "1");
  std::string command_line =
      "\"" + copy + "\" --gtest_filter=ServiceCommands.DoNothingOnTheNineFamily";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const bool started = ::CreateProcessA(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0,
                                        nullptr, nullptr, &startup, &process);
  ::SetEnvironmentVariableA(kAsNineFamily, nullptr);
  DWORD exit_code = 1;
  if (started) {
    const platform::KernelHandle owned_process(process.hProcess);
    const platform::KernelHandle owned_thread(process.hThread);
    ::WaitForSingleObject(process.hProcess, 120000);
    ::GetExitCodeProcess(process.hProcess, &exit_code);
  }
  ::RegDeleteKeyA(HKEY_CURRENT_USER, version_key.c_str());
  ASSERT_TRUE(started) << ::GetLastError();
  EXPECT_EQ(exit_code, 0u);
}

}  // namespace

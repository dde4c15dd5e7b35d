#include "system/handlers.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "base/ascii_case.h"
#include "log/messages.h"
#include "platform/system.h"
#include "platform/win32/unique_handle.h"
#include "script/values.h"
#include "script/variables.h"
#include "system/list_items.h"

namespace system_commands {
namespace {

using platform::ServiceHandle;
using script::ScriptCommand;
using script::ScriptContext;

// The access the commands ask of the service manager; it lets them open services.
constexpr DWORD kManagerAccess = READ_CONTROL;
// How many times a command looks again for the state it waits for, one second apart.
constexpr int kStatePolls = 30;
// How many wait hints a stop waits out for a service that is still starting, and the longest
// wait a hint can ask: the service says how long it needs, and a hint of INFINITE (or close to it)
// must not hold the update for ever.
constexpr int kStartPendingWaits = 5;
constexpr DWORD kLongestWaitHint = 30000;

// The products' services and the codes of their own controls that turn them on and off; no
// other service is sent either.
struct ProductServiceCodes {
  std::string_view name;
  DWORD enable;
  DWORD disable;
};
constexpr std::array<ProductServiceCodes, 2> kProductServices = {{
    {"BULWARK", 135, 134},
    {"ZENTORA", 145, 144},
}};

std::optional<DWORD> ProductControlCode(std::string_view service, bool enable) {
  for (const ProductServiceCodes& row : kProductServices) {
    if (base::EqualsIgnoringCase(row.name, service))
      return enable ? row.enable : row.disable;
  }
  return std::nullopt;
}

// The service's current state; none when it cannot be asked.
std::optional<DWORD> StateOf(const ServiceHandle& service) {
  SERVICE_STATUS status{};
  if (!::QueryServiceStatus(service.Get(), &status))
    return std::nullopt;
  return status.dwCurrentState;
}

ServiceHandle OpenManager() {
  return ServiceHandle(::OpenSCManagerA(nullptr, nullptr, kManagerAccess));
}

ServiceHandle OpenNamedService(const ServiceHandle& manager, const std::string& name,
                               DWORD access) {
  return ServiceHandle(::OpenServiceA(manager.Get(), name.c_str(), access));
}

// A service still starting is given up to five of its wait hints (each at most 30 seconds) to
// finish first. A running one is sent the stop control; one already stopping is only waited for.
void StopListedService(ScriptContext& context, const ServiceHandle& manager,
                       const std::string& name) {
  const ServiceHandle service =
      OpenNamedService(manager, name, SERVICE_STOP | SERVICE_QUERY_STATUS);
  if (!service.IsOpen())
    return;
  SERVICE_STATUS status{};
  if (!::QueryServiceStatus(service.Get(), &status))
    return;
  if (status.dwCurrentState == SERVICE_START_PENDING) {
    for (int wait = 0; wait < kStartPendingWaits && status.dwCurrentState == SERVICE_START_PENDING;
         ++wait) {
      ::Sleep(std::min(status.dwWaitHint, kLongestWaitHint));
      if (!::QueryServiceStatus(service.Get(), &status))
        break;
    }
    ::Sleep(1000);
  }
  std::optional<DWORD> state = status.dwCurrentState;
  if (state == SERVICE_RUNNING) {
    ReportItem(context, message::kStoppingService, name);
    if (!::ControlService(service.Get(), SERVICE_CONTROL_STOP, &status)) {
      context.env.reporter.LogMessage(message::kServiceStopFailed, name);
      return;
    }
    ::Sleep(1000);
    state = StateOf(service);
  } else if (state != SERVICE_STOP_PENDING) {
    return;
  }
  for (int poll = 0; poll < kStatePolls && state && *state != SERVICE_STOPPED; ++poll) {
    ::Sleep(1000);
    state = StateOf(service);
  }
  if (state)
    ::Sleep(2000);
}

// A service that is neither running nor starting is started and waited for until it runs.
void StartListedService(ScriptContext& context, const ServiceHandle& manager,
                        const std::string& name) {
  const ServiceHandle service =
      OpenNamedService(manager, name, SERVICE_QUERY_STATUS | SERVICE_START);
  if (!service.IsOpen())
    return;
  std::optional<DWORD> state = StateOf(service);
  if (!state || *state == SERVICE_RUNNING || *state == SERVICE_START_PENDING)
    return;
  ReportItem(context, message::kStartingService, name);
  if (!::StartServiceA(service.Get(), 0, nullptr))
    return;
  ::Sleep(1000);
  for (int poll = 0; poll < kStatePolls && state != SERVICE_RUNNING; ++poll) {
    state = StateOf(service);
    ::Sleep(1000);
  }
}

// Sends a product service the code that turns it on or off; any other service is left alone.
void SendProductCode(ScriptContext& context, const ServiceHandle& manager, const std::string& name,
                     bool enable) {
  const ServiceHandle service = OpenNamedService(manager, name, SERVICE_USER_DEFINED_CONTROL);
  const std::optional<DWORD> code = ProductControlCode(name, enable);
  if (!service.IsOpen() || !code)
    return;
  ReportItem(context, enable ? message::kEnablingService : message::kDisablingService, name);
  SERVICE_STATUS status{};
  if (::ControlService(service.Get(), *code, &status))
    ::Sleep(3000);
  else if (!enable)
    context.env.reporter.LogMessage(message::kServiceDisableFailed, name);
}

void EnableProductService(ScriptContext& context, const ServiceHandle& manager,
                          const std::string& name) {
  SendProductCode(context, manager, name, true);
}

void DisableProductService(ScriptContext& context, const ServiceHandle& manager,
                           const std::string& name) {
  SendProductCode(context, manager, name, false);
}

using ServiceAction = void (*)(ScriptContext&, const ServiceHandle&, const std::string&);

// Does act to every service of the list, up to its end or its first empty item. Services exist
// only on the NT family: elsewhere, or without the service manager, nothing is done. Always
// succeeds.
Status ForEachService(ScriptContext& context, const ScriptCommand& command, ServiceAction act) {
  if (!platform::IsNtFamily())
    return status::kOk;
  const ServiceHandle manager = OpenManager();
  if (!manager.IsOpen())
    return status::kOk;
  ListItems names(command.argument);
  while (const std::optional<std::string_view> name = names.Next())
    act(context, manager, std::string(*name));
  return status::kOk;
}

Status StopOrqServices(ScriptContext& context, const ScriptCommand& command) {
  return ForEachService(context, command, StopListedService);
}

Status StartOrqServices(ScriptContext& context, const ScriptCommand& command) {
  return ForEachService(context, command, StartListedService);
}

Status DisableOrqServices(ScriptContext& context, const ScriptCommand& command) {
  return ForEachService(context, command, DisableProductService);
}

Status EnableOrqServices(ScriptContext& context, const ScriptCommand& command) {
  return ForEachService(context, command, EnableProductService);
}

// "1" when the service runs, "0" otherwise (also when it or the manager cannot be opened). On the
// 9x family the variable is left as it is.
Status IsServiceRunning(ScriptContext& context, const ScriptCommand& command) {
  if (!platform::IsNtFamily())
    return status::kOk;
  std::string variable, name;
  const Status split = script::SplitAssignment(command.argument, variable, script::kValueCapacity,
                                               name, script::kValueCapacity);
  if (split != status::kOk)
    return script::FailCommand(context, split);
  bool running = false;
  if (const ServiceHandle manager = OpenManager(); manager.IsOpen()) {
    const ServiceHandle service = OpenNamedService(manager, name, SERVICE_QUERY_STATUS);
    running = service.IsOpen() && StateOf(service) == SERVICE_RUNNING;
  }
  return script::FinishCommand(context, script::SetTruthVariable(context, variable, running));
}

constexpr std::array<script::HandlerEntry, 5> kHandlers = {{
    {script::opcode::kStopOrqServices, StopOrqServices},
    {script::opcode::kStartOrqServices, StartOrqServices},
    {script::opcode::kDisableOrqServices, DisableOrqServices},
    {script::opcode::kEnableOrqServices, EnableOrqServices},
    {script::opcode::kIsServiceRunning, IsServiceRunning},
}};

}  // namespace

script::HandlerList ServiceCommandHandlers() {
  return kHandlers;
}

}  // namespace system_commands

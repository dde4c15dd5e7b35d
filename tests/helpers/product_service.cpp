// Test helper: the sample product's service, built once for each product version (PRODUCT_VERSION)
// as zentorasvc.exe. Run by the service manager. While it runs it keeps the product's engine,
// zentoraeng.dll beside it, loaded, and it writes down in status.log beside it:
//
//   service VERSION running with engine ENGINE_VERSION
//   service VERSION stopped
//
// ENGINE_VERSION is what the engine's EngineVersion() answers ("none" when it cannot be loaded).

#include <windows.h>

#include <string>

#include "append_line.h"

namespace {

SERVICE_STATUS_HANDLE g_status_handle = nullptr;
HANDLE g_stop_requested = nullptr;

void SetState(DWORD state) {
  SERVICE_STATUS status{};
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status.dwCurrentState = state;
  status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
  ::SetServiceStatus(g_status_handle, &status);
}

DWORD WINAPI HandleControl(DWORD control, DWORD, void*, void*) {
  if (control == SERVICE_CONTROL_STOP) {
    SetState(SERVICE_STOP_PENDING);
    ::SetEvent(g_stop_requested);
  }
  return NO_ERROR;
}

void WINAPI ServiceMain(DWORD, char** arguments) {
  g_status_handle = ::RegisterServiceCtrlHandlerExA(arguments[0], HandleControl, nullptr);
  if (g_status_handle == nullptr)
    return;
  const std::string status_file = BesideProgram("status.log");
  const HMODULE engine = ::LoadLibraryA(BesideProgram("zentoraeng.dll").c_str());
  using EngineVersion = const char*(__cdecl*)();
  const auto engine_version = reinterpret_cast<EngineVersion>(reinterpret_cast<void*>(
      engine == nullptr ? nullptr : ::GetProcAddress(engine, "EngineVersion")));
  const char* engine_text = engine_version == nullptr ? "none" : engine_version();
  AppendLine(status_file,
             std::string("service ") + PRODUCT_VERSION + " running with engine " + engine_text);
  SetState(SERVICE_RUNNING);
  ::WaitForSingleObject(g_stop_requested, INFINITE);
  AppendLine(status_file, std::string("service ") + PRODUCT_VERSION + " stopped");
  if (engine != nullptr)
    ::FreeLibrary(engine);
  SetState(SERVICE_STOPPED);
}

}  // namespace

int main() {
  g_stop_requested = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  char name[] = "";
  SERVICE_TABLE_ENTRYA table[] = {{name, ServiceMain}, {nullptr, nullptr}};
  return ::StartServiceCtrlDispatcherA(table) ? 0 : 1;
}

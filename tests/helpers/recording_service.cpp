// Test helper: a service of its own process that writes down every control it receives.
//
//   recording_service.exe RECORD_FILE [START_MS [STOP_MS]]
//
// Run by the service manager. Appends a line "start" to RECORD_FILE when its service main runs,
// then the decimal code of every control the manager passes on (1 stop, 4 interrogate, the
// service-defined codes 128-255). It stays start-pending for START_MS milliseconds before it
// runs, and stop-pending for STOP_MS after a stop control, saying so through its wait hints.

#include <windows.h>

#include <cstdlib>
#include <string>

#include "append_line.h"

namespace {

std::string g_record_file;
DWORD g_start_ms = 0;
DWORD g_stop_ms = 0;
SERVICE_STATUS_HANDLE g_status_handle = nullptr;
HANDLE g_stop_requested = nullptr;

void Record(const std::string& line) {
  AppendLine(g_record_file, line);
}

void SetState(DWORD state, DWORD wait_hint) {
  SERVICE_STATUS status{};
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status.dwCurrentState = state;
  status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
  status.dwWaitHint = wait_hint;
  status.dwCheckPoint = state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING ? 1 : 0;
  ::SetServiceStatus(g_status_handle, &status);
}

DWORD WINAPI HandleControl(DWORD control, DWORD, void*, void*) {
  Record(std::to_string(control));
  if (control == SERVICE_CONTROL_STOP) {
    SetState(SERVICE_STOP_PENDING, g_stop_ms);
    ::SetEvent(g_stop_requested);
  }
  return NO_ERROR;
}

void WINAPI ServiceMain(DWORD, char** arguments) {
  g_status_handle = ::RegisterServiceCtrlHandlerExA(arguments[0], HandleControl, nullptr);
  if (g_status_handle == nullptr)
    return;
  Record("start");
  SetState(SERVICE_START_PENDING, g_start_ms);
  ::Sleep(g_start_ms);
  SetState(SERVICE_RUNNING, 0);
  ::WaitForSingleObject(g_stop_requested, INFINITE);
  ::Sleep(g_stop_ms);
  SetState(SERVICE_STOPPED, 0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2)
    return 2;
  g_record_file = argv[1];
  g_start_ms = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 0;
  g_stop_ms = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 0;
  g_stop_requested = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  // A service of its own process: the manager ignores the name in the table.
  char name[] = "";
  SERVICE_TABLE_ENTRYA table[] = {{name, ServiceMain}, {nullptr, nullptr}};
  return ::StartServiceCtrlDispatcherA(table) ? 0 : 1;
}

// Test helper: stands in for the products' tray monitor. It creates the close event (in the
// global namespace where the system has one) and ends, with exit code 0, when the event is set;
// by itself after a minute, with exit code 1.

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  HANDLE event = ::CreateEventA(nullptr, TRUE, FALSE, "Global\\TRAYMON_CLOSE_EVENT");
  if (event == nullptr)
    event = ::CreateEventA(nullptr, TRUE, FALSE, "TRAYMON_CLOSE_EVENT");
  if (event == nullptr)
    return 2;
  const DWORD result = ::WaitForSingleObject(event, 60000);
  ::CloseHandle(event);
  return result == WAIT_OBJECT_0 ? 0 : 1;
}

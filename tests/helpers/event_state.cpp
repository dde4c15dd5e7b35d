// Test helper: tells whether the update-in-progress event exists and is set.
//
//   event_state.exe
//
// Prints "set", "reset" or "absent" on stdout.

#include <windows.h>

#include <cstdio>

int main() {
  // The installer makes it in the global namespace where the system has one.
  HANDLE event = ::OpenEventA(SYNCHRONIZE, FALSE, "Global\\OmniPackUpdateInProgress");
  if (event == nullptr)
    event = ::OpenEventA(SYNCHRONIZE, FALSE, "OmniPackUpdateInProgress");
  if (event == nullptr) {
    std::puts("absent");
    return 0;
  }
  std::puts(::WaitForSingleObject(event, 0) == WAIT_OBJECT_0 ? "set" : "reset");
  ::CloseHandle(event);
  return 0;
}

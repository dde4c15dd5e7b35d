#include "system/interactive_desktop.h"

namespace system_commands {

InteractiveDesktop::InteractiveDesktop()
    : previous_station_(::GetProcessWindowStation()),
      previous_desktop_(::GetThreadDesktop(::GetCurrentThreadId())) {
  station_.Reset(::OpenWindowStationA("WinSta0", FALSE, MAXIMUM_ALLOWED));
  if (station_.IsOpen() && ::SetProcessWindowStation(station_.Get()))
    desktop_.Reset(::OpenDesktopA("Default", 0, FALSE, MAXIMUM_ALLOWED));
  if (!desktop_.IsOpen() || !::SetThreadDesktop(desktop_.Get())) {
    // Half a switch is undone at once: the command goes on where it was.
    ::SetProcessWindowStation(previous_station_);
    ::SetThreadDesktop(previous_desktop_);
  }
}

InteractiveDesktop::~InteractiveDesktop() {
  // The previous ones become current again before the opened ones are closed.
  ::SetProcessWindowStation(previous_station_);
  ::SetThreadDesktop(previous_desktop_);
}

}  // namespace system_commands

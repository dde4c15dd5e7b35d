#pragma once

#include <windows.h>

#include "platform/win32/unique_handle.h"

namespace system_commands {

// For its lifetime, the process's window station is "WinSta0" and the calling thread's desktop is
// its "Default" desktop, so that the windows of the interactive user can be found and sent
// messages. When either cannot be opened nothing is switched. The station and desktop that were
// current come back when the object goes, always.
class InteractiveDesktop {
 public:
  InteractiveDesktop();
  ~InteractiveDesktop();
  InteractiveDesktop(const InteractiveDesktop&) = delete;
  InteractiveDesktop& operator=(const InteractiveDesktop&) = delete;

 private:
  // The current ones, remembered; the system owns them and they are never closed here.
  HWINSTA previous_station_;
  HDESK previous_desktop_;
  platform::WindowStationHandle station_;
  platform::DesktopHandle desktop_;
};

}  // namespace system_commands

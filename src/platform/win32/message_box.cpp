#include <windows.h>

#include "platform/message_box.h"

namespace platform {

WindowHandle DesktopWindow() {
  return reinterpret_cast<WindowHandle>(::GetDesktopWindow());
}

void ShowErrorBox(WindowHandle owner, const std::string& text, const std::string& caption) {
  ::MessageBoxA(reinterpret_cast<HWND>(owner), text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
}

}  // namespace platform

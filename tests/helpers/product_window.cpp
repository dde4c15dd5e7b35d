// Test helper: the sample product's window program, built once for each product version
// (PRODUCT_VERSION) as zentora.exe. Its one top-level window has the class "ZentoraWindowClass"
// and the title "Zentora VERSION"; it ends when the window is closed. It writes down in
// status.log beside it:
//
//   window VERSION open
//   window VERSION closed

#include <windows.h>

#include <string>

#include "append_line.h"

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.lpszClassName = "ZentoraWindowClass";
  if (::RegisterClassA(&window_class) == 0)
    return 1;
  const std::string title = std::string("Zentora ") + PRODUCT_VERSION;
  if (::CreateWindowA(window_class.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 300,
                      100, nullptr, nullptr, instance, nullptr) == nullptr) {
    return 2;
  }
  const std::string status_file = BesideProgram("status.log");
  AppendLine(status_file, std::string("window ") + PRODUCT_VERSION + " open");
  MSG message;
  while (::GetMessageA(&message, nullptr, 0, 0) > 0)
    ::DispatchMessageA(&message);
  AppendLine(status_file, std::string("window ") + PRODUCT_VERSION + " closed");
  return 0;
}

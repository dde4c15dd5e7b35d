// Test helper: an application with one top-level window of a chosen class and title.
//
//   app_window.exe CLASS TITLE [stay]
//
// It ends when its window is sent WM_CLOSE or WM_DESTROY, with that message as its exit code
// (WM_CLOSE 16, WM_DESTROY 2), and by itself after a minute, with exit code 1. With "stay" it
// ignores both messages, as a program that does not answer would.

#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

constexpr UINT_PTR kLifetimeTimer = 1;
constexpr UINT kLifetimeMilliseconds = 60000;
int g_exit_code = 1;
bool g_stays = false;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CLOSE:
    case WM_DESTROY:
      if (g_stays)
        return 0;
      // The first of them is the one the application was sent.
      if (g_exit_code == 1)
        g_exit_code = static_cast<int>(message);
      ::PostQuitMessage(g_exit_code);
      return 0;
    case WM_TIMER:
      ::PostQuitMessage(g_exit_code);
      return 0;
    default:
      return ::DefWindowProcA(window, message, wparam, lparam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  if (__argc != 3 && !(__argc == 4 && std::strcmp(__argv[3], "stay") == 0))
    return 3;
  g_stays = __argc == 4;
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.lpszClassName = __argv[1];
  if (::RegisterClassA(&window_class) == 0)
    return 4;
  const HWND window = ::CreateWindowA(__argv[1], __argv[2], WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                      nullptr, nullptr, instance, nullptr);
  if (window == nullptr)
    return 5;
  ::SetTimer(window, kLifetimeTimer, kLifetimeMilliseconds, nullptr);
  MSG message;
  while (::GetMessageA(&message, nullptr, 0, 0) > 0)
    ::DispatchMessageA(&message);
  return g_exit_code;
}

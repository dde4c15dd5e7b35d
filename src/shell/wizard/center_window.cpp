#include "shell/wizard/center_window.h"

#include "shell/wizard/centered_position.h"

namespace shell {

void CenterWindow(HWND window, HWND reference) {
  RECT bounds{};
  if (!::GetWindowRect(window, &bounds))
    return;
  int screen_width = 0;
  int screen_height = 0;
  if (HDC context = ::GetDC(window); context != nullptr) {
    screen_width = ::GetDeviceCaps(context, HORZRES);
    screen_height = ::GetDeviceCaps(context, VERTRES);
    ::ReleaseDC(window, context);
  }
  const int width = bounds.right - bounds.left;
  const int height = bounds.bottom - bounds.top;
  Span horizontal;
  Span vertical;
  RECT area{};
  const bool has_reference = reference != nullptr && ::GetWindowRect(reference, &area);
  if (has_reference) {
    horizontal = {area.left, area.right - area.left};
    vertical = {area.top, area.bottom - area.top};
  }
  const int x = CenteredStart(width, screen_width, has_reference ? &horizontal : nullptr);
  const int y = CenteredStart(height, screen_height, has_reference ? &vertical : nullptr);
  ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace shell

#pragma once

#include <windows.h>

namespace shell {

// Moves window so that it is centred on reference (the screen when reference is null), by the
// rules of CenteredStart on each axis, keeping its size and its place in the z-order.
void CenterWindow(HWND window, HWND reference);

}  // namespace shell

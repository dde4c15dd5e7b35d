#pragma once

#include <cstdint>
#include <string>

namespace platform {

// A window as the system knows it; 0 is none.
using WindowHandle = std::uintptr_t;

WindowHandle DesktopWindow();

// Shows text under caption with an error icon and an OK button, owned by owner, and returns when
// the user has closed it.
void ShowErrorBox(WindowHandle owner, const std::string& text, const std::string& caption);

}  // namespace platform

#include "platform/message_box.h"

#include <cstdio>

namespace platform {

WindowHandle DesktopWindow() {
  return 0;
}

// Without a desktop the box becomes a line on the error stream; nobody has to close it.
void ShowErrorBox(WindowHandle, const std::string& text, const std::string& caption) {
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

}  // namespace platform

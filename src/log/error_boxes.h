#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/message_box.h"

namespace logging {

// Where the installer's error boxes go. Tests record them; the installer shows them.
class ErrorBoxes {
 public:
  virtual ~ErrorBoxes() = default;
  // Shows text under caption with an error icon and an OK button; returns when it is closed.
  virtual void Show(std::string_view text, std::string_view caption) = 0;
};

// The system's boxes. They belong to the desktop until the wizard's copy page takes them over
// (before the run starts, so the thread that runs it sees the new owner).
class SystemErrorBoxes final : public ErrorBoxes {
 public:
  void SetOwner(platform::WindowHandle owner) { owner_ = owner; }
  void Show(std::string_view text, std::string_view caption) override {
    platform::ShowErrorBox(owner_ ? *owner_ : platform::DesktopWindow(), std::string(text),
                           std::string(caption));
  }

 private:
  // None: the desktop, looked up only when a box is shown, since under Wine asking for the
  // desktop window starts the desktop process.
  std::optional<platform::WindowHandle> owner_;
};

}  // namespace logging

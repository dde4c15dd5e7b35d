#pragma once

#include <string_view>

#include "log/message_source.h"
#include "log/reporter.h"

namespace shell {

// The restart question's box. Tests answer it; the installer shows it.
class ConfirmBoxes {
 public:
  virtual ~ConfirmBoxes() = default;
  // Shows text under caption with OK and Cancel; true when the user chose OK.
  virtual bool Confirm(std::string_view text, std::string_view caption) = 0;
};

// The system's box: no owner, information icon.
class SystemConfirmBoxes final : public ConfirmBoxes {
 public:
  bool Confirm(std::string_view text, std::string_view caption) override;
};

// What the options and the wizard decided about restarting.
struct RestartRequest {
  bool silent = false;
  bool prompt = false;   // in silent mode, ask first
  bool restart = false;  // REBOOT, SETUP.ISS or the end page's choice
};

// Whether to restart: a silent run with the prompt asks the user (message 71 under caption 54);
// every other run keeps the restart flag it has.
bool RestartWanted(const RestartRequest& request, const MessageSource& messages,
                   ConfirmBoxes& boxes);

// Enables or disables a privilege of the process token. True when the token took the change.
bool SetPrivilege(const char* privilege, bool enable);

// The restart step after a successful run that left files for replacement: when wanted, logs 64
// and asks the system to restart (on the NT family with the shutdown privilege, a 15-second
// notice of message 66); logs 65 when that cannot be done.
void RestartComputer(const RestartRequest& request, const MessageSource& messages,
                     Reporter& reporter, ConfirmBoxes& boxes);

}  // namespace shell

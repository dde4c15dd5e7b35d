#pragma once

#include "platform/win32/unique_handle.h"

namespace shell {

// Tells the products' file-protection driver that an authorised update is running, so that it
// lets the installer replace the protected files. The signal is the named manual-reset event
// "OmniPackUpdateInProgress" (kernel name \BaseNamedObjects\OmniPackUpdateInProgress): it is set
// while this object lives, and reset and closed when it goes. Nothing else is written.
class UpdateInProgressNotice {
 public:
  UpdateInProgressNotice();
  ~UpdateInProgressNotice();
  UpdateInProgressNotice(const UpdateInProgressNotice&) = delete;
  UpdateInProgressNotice& operator=(const UpdateInProgressNotice&) = delete;

  // False when the event could be neither created nor opened; the update then runs unannounced.
  bool IsSignalled() const { return event_.IsOpen(); }

 private:
  platform::KernelHandle event_;
};

}  // namespace shell

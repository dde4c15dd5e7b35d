#include "shell/protection_notice.h"

#include <windows.h>

namespace shell {
namespace {

// "Global\" reaches the global namespace from any terminal session; systems without sessions (the
// 9x family, NT without terminal services) refuse the prefix, and there the plain name is already
// global. Both end up as the same kernel object name.
constexpr const char* kEventNames[] = {"Global\\OmniPackUpdateInProgress",
                                       "OmniPackUpdateInProgress"};

}  // namespace

UpdateInProgressNotice::UpdateInProgressNotice() {
  for (const char* name : kEventNames) {
    event_ = ::CreateEventA(nullptr, TRUE, FALSE, name);
    if (event_ != nullptr)
      break;
  }
  if (event_ != nullptr && !::SetEvent(event_)) {
    ::CloseHandle(event_);
    event_ = nullptr;
  }
}

UpdateInProgressNotice::~UpdateInProgressNotice() {
  if (event_ == nullptr)
    return;
  ::ResetEvent(event_);
  ::CloseHandle(event_);
}

}  // namespace shell

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
    event_.Reset(::CreateEventA(nullptr, TRUE, FALSE, name));
    if (event_.IsOpen())
      break;
  }
  if (event_.IsOpen() && !::SetEvent(event_.Get()))
    event_.Reset();
}

UpdateInProgressNotice::~UpdateInProgressNotice() {
  if (event_.IsOpen())
    ::ResetEvent(event_.Get());
}

}  // namespace shell

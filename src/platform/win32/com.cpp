#include "platform/com.h"

#include <objbase.h>

#include "platform/system.h"

namespace platform {

ComScope::ComScope() {
  if (IsNtFamily())
    initialised_ = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED));
}

ComScope::~ComScope() {
  if (initialised_)
    ::CoUninitialize();
}

}  // namespace platform

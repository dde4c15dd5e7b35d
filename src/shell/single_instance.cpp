#include "shell/single_instance.h"

#include <windows.h>

namespace shell {

SingleInstance::SingleInstance() {
  mutex_.Reset(::CreateMutexA(nullptr, FALSE, kInstanceName));
  const bool existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
  HWND running = ::FindWindowA(kInstanceName, nullptr);
  first_ = mutex_.IsOpen() && !existed && running == nullptr;
  if (first_)
    return;
  mutex_.Reset();
  if (running != nullptr)
    ::PostMessageA(running, kShowWizardMessage, 0, 0);
}

}  // namespace shell

#pragma once

#include <windows.h>

#include "platform/win32/unique_handle.h"

namespace shell {

// The name of the single-instance mutex, shared with the wizard's window class.
inline constexpr const char* kInstanceName = "ORQ_DUMBINSTL32_CLASS";
// Posted by a second installer to the first one's main window: bring the wizard to the front.
inline constexpr UINT kShowWizardMessage = WM_USER + 100;

// Only one installer runs at a time. The mutex is created, not merely looked for, so two
// installers started together cannot both pass: the second finds it already there. The first
// holds it for as long as this object lives.
class SingleInstance {
 public:
  SingleInstance();

  // False when another installer holds the mutex or has its window open; that one has then been
  // asked to bring its wizard to the front.
  bool IsFirst() const { return first_; }

 private:
  platform::KernelHandle mutex_;
  bool first_ = false;
};

}  // namespace shell

#pragma once

#include <windows.h>

#include <atomic>

#include "base/status.h"
#include "platform/win32/unique_handle.h"
#include "shell/wizard/wizard.h"

namespace shell {

// The wizard's private messages.
inline constexpr UINT kRunWizardMessage = WM_USER + 101;    // to the main window, once
inline constexpr UINT kStartWorkerMessage = WM_USER + 102;  // to the copy page
inline constexpr UINT kWorkerDoneMessage = WM_USER + 103;   // to the copy page, the worker's last

// What the main window, the pages and the worker share, owned by RunWizard. The entry thread
// writes the windows and the worker handle; the worker writes result and abort and then posts
// kWorkerDoneMessage, after which the copy page reads them.
struct WizardRecord {
  explicit WizardRecord(const WizardRun& wizard_run) : run(wizard_run) {}

  const WizardRun& run;
  HWND main_window = nullptr;
  HWND wizard = nullptr;  // the property sheet, set by the first page that starts
  HWND start_page = nullptr;
  HWND copy_page = nullptr;
  HWND end_page = nullptr;
  platform::KernelHandle worker;  // open while the installation runs
  std::atomic<bool> abort{false};
  Status result = status::kNoRun;
  bool restart = false;
};

}  // namespace shell

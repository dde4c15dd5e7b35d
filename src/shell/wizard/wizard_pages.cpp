#include "shell/wizard/wizard_pages.h"

#include <commctrl.h>

#include <optional>
#include <string>

#include "log/messages.h"
#include "shell/settled_run.h"
#include "shell/wizard/center_window.h"
#include "shell/wizard/log_viewer.h"
#include "shell/wizard/wizard_record.h"

namespace shell {
namespace {

// Controls of the pages' templates.
constexpr int kProgressBar = 1008;
constexpr int kProgressLabel = 1009;
constexpr int kRestartNow = 1011;
constexpr int kRestartLater = 1013;
// The progress bar counts to this and starts again.
constexpr int kProgressSteps = 10;
constexpr UINT_PTR kProgressTimer = 1;
constexpr UINT kProgressPeriodMs = 50;
// The worker asks for a small stack; it grows on demand.
constexpr SIZE_T kWorkerStackBytes = 5120;
// Space kept around the "View Log" text when the button is widened for it.
constexpr int kButtonTextMargin = 20;

WizardRecord* RecordOf(HWND page) {
  return reinterpret_cast<WizardRecord*>(::GetWindowLongPtrA(page, GWLP_USERDATA));
}

// Keeps the record that WM_INITDIALOG brings and returns it.
WizardRecord& TakeRecord(HWND page, LPARAM lparam) {
  auto* record =
      reinterpret_cast<WizardRecord*>(reinterpret_cast<const PROPSHEETPAGEA*>(lparam)->lParam);
  ::SetWindowLongPtrA(page, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(record));
  return *record;
}

// A notification's answer.
INT_PTR Answer(HWND page, LONG_PTR result) {
  ::SetWindowLongPtrA(page, DWLP_MSGRESULT, result);
  return TRUE;
}

void SetButtons(const WizardRecord& record, DWORD buttons) {
  ::PostMessageA(record.wizard, PSM_SETWIZBUTTONS, 0, buttons);
}

HWND Button(const WizardRecord& record, int id) {
  return ::GetDlgItem(record.wizard, id);
}

void ShowButton(const WizardRecord& record, int id, bool shown, bool enabled) {
  const HWND button = Button(record, id);
  ::EnableWindow(button, enabled);
  ::ShowWindow(button, shown ? SW_SHOW : SW_HIDE);
}

// Gives the Help button the text "View Log" and widens it to the text, in the button's font, when
// the text is wider, keeping its right edge and its top.
void PrepareLogButton(const WizardRecord& record) {
  const HWND button = Button(record, IDHELP);
  const std::string text = record.run.library.Message(message::kViewLog, 260);
  ::SetWindowTextA(button, text.c_str());
  RECT bounds{};
  if (!::GetWindowRect(button, &bounds))
    return;
  ::MapWindowPoints(nullptr, record.wizard, reinterpret_cast<POINT*>(&bounds), 2);
  SIZE extent{};
  if (HDC context = ::GetDC(button); context != nullptr) {
    const HGDIOBJ font = reinterpret_cast<HGDIOBJ>(::SendMessageA(button, WM_GETFONT, 0, 0));
    const HGDIOBJ previous = font != nullptr ? ::SelectObject(context, font) : nullptr;
    ::GetTextExtentPoint32A(context, text.c_str(), static_cast<int>(text.size()), &extent);
    if (previous != nullptr)
      ::SelectObject(context, previous);
    ::ReleaseDC(button, context);
  }
  if (extent.cx <= bounds.right - bounds.left)
    return;
  const int width = extent.cx + kButtonTextMargin;
  ::SetWindowPos(button, nullptr, bounds.right - width, bounds.top, width,
                 bounds.bottom - bounds.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The system starts a thread with its stack aligned to 4 bytes; the code it runs keeps SSE values
// on the stack, which need 16.
__attribute__((force_align_arg_pointer)) DWORD WINAPI RunWorker(void* parameter) {
  const HWND copy_page = static_cast<HWND>(parameter);
  WizardRecord& record = *RecordOf(copy_page);
  const WizardRun& run = record.run;
  run.reporter.progress().Clear();
  run.boxes.SetOwner(reinterpret_cast<platform::WindowHandle>(copy_page));
  SetButtons(record, 0);
  const Status result = RunAndSettle(run.installation, run.reporter, /*silent=*/false);
  record.result = result;
  if (result != status::kOk)
    record.abort = true;
  ::PostMessageA(copy_page, kWorkerDoneMessage, 0, 0);
  return result;
}

}  // namespace

INT_PTR CALLBACK StartPageProc(HWND page, UINT message, WPARAM, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    WizardRecord& record = TakeRecord(page, lparam);
    record.start_page = page;
    record.wizard = ::GetParent(page);
    CenterWindow(record.wizard, ::GetDesktopWindow());
    PrepareLogButton(record);
    ShowButton(record, IDHELP, false, false);
    return TRUE;
  }
  if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lparam)->code == PSN_SETACTIVE) {
    SetButtons(*RecordOf(page), PSWIZB_NEXT);
    return Answer(page, 0);
  }
  return FALSE;
}

INT_PTR CALLBACK CopyPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    WizardRecord& record = TakeRecord(page, lparam);
    record.copy_page = page;
    record.wizard = ::GetParent(page);
    ::SendDlgItemMessageA(page, kProgressBar, PBM_SETRANGE, 0, MAKELPARAM(0, kProgressSteps));
    ::SendDlgItemMessageA(page, kProgressBar, PBM_SETSTEP, 1, 0);
    ::EnableWindow(Button(record, IDCANCEL), FALSE);
    ShowButton(record, IDHELP, false, false);
    return TRUE;
  }
  WizardRecord* record = RecordOf(page);
  if (record == nullptr)
    return FALSE;
  switch (message) {
    case WM_NOTIFY:
      switch (reinterpret_cast<const NMHDR*>(lparam)->code) {
        case PSN_SETACTIVE:
          SetButtons(*record, PSWIZB_NEXT);
          ::PostMessageA(page, kStartWorkerMessage, 0, 0);
          return Answer(page, 0);
        case PSN_QUERYCANCEL:
          // Refused while the installation runs; the request is kept.
          record->abort = true;
          return Answer(page, record->worker.IsOpen() ? TRUE : FALSE);
        default:
          return FALSE;
      }
    case kStartWorkerMessage:
      if (!record->worker.IsOpen()) {
        // The timer runs on this thread, for as long as the worker does.
        ::SetTimer(page, kProgressTimer, kProgressPeriodMs, nullptr);
        record->worker.Reset(
            ::CreateThread(nullptr, kWorkerStackBytes, RunWorker, page, 0, nullptr));
        if (!record->worker.IsOpen())
          ::KillTimer(page, kProgressTimer);
      }
      return TRUE;
    case WM_TIMER:
      if (wparam == kProgressTimer) {
        if (std::optional<std::string> text = record->run.reporter.progress().TakeChanged()) {
          // Past its end the bar starts again from the beginning.
          ::SendDlgItemMessageA(page, kProgressBar, PBM_STEPIT, 0, 0);
          ::SetDlgItemTextA(page, kProgressLabel, text->c_str());
        }
      }
      return TRUE;
    case kWorkerDoneMessage:
      ::KillTimer(page, kProgressTimer);
      record->worker.Reset();
      if (record->result == status::kOk)
        ::PostMessageA(record->wizard, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
      else if (record->abort)
        ::PostMessageA(record->wizard, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK EndPageProc(HWND page, UINT message, WPARAM, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    WizardRecord& record = TakeRecord(page, lparam);
    record.end_page = page;
    record.restart = !record.run.installation.state.reboot_not_needed;
    if (record.restart) {
      ::CheckDlgButton(page, kRestartNow, BST_CHECKED);
    } else {
      ::ShowWindow(::GetDlgItem(page, kRestartNow), SW_HIDE);
      ::ShowWindow(::GetDlgItem(page, kRestartLater), SW_HIDE);
    }
    ShowButton(record, IDCANCEL, false, true);
    ShowButton(record, IDHELP, true, true);
    return TRUE;
  }
  WizardRecord* record = RecordOf(page);
  if (record == nullptr || message != WM_NOTIFY)
    return FALSE;
  switch (reinterpret_cast<const NMHDR*>(lparam)->code) {
    case PSN_SETACTIVE:
      SetButtons(*record, PSWIZB_FINISH);
      return Answer(page, 0);
    case PSN_WIZFINISH:
      if (::IsWindowVisible(::GetDlgItem(page, kRestartNow)))
        record->restart = ::IsDlgButtonChecked(page, kRestartNow) == BST_CHECKED;
      return Answer(page, FALSE);
    case PSN_HELP:
      StartLogViewer(LogViewerProgram(), record->run.log_path);
      return Answer(page, 1);
    default:
      return FALSE;
  }
}

}  // namespace shell

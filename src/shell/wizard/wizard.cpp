#include "shell/wizard/wizard.h"

#include <commctrl.h>

#include <array>
#include <string>

#include "log/messages.h"
#include "platform/win32/library_loading.h"
#include "shell/single_instance.h"
#include "shell/wizard/wizard_pages.h"
#include "shell/wizard/wizard_record.h"

namespace shell {
namespace {

constexpr int kInstallerIcon = 2;
constexpr int kStartTemplate = 102;
constexpr int kEndTemplate = 103;
constexpr int kCopyTemplate = 104;

// The common controls, loaded from the system folder for as long as the wizard shows.
class CommonControls {
 public:
  CommonControls() : library_("comctl32.dll") {
    using Initialize = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    if (const auto initialize = library_.Find<Initialize>("InitCommonControlsEx")) {
      const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
      initialize(&classes);
    }
  }

  // Shows the property sheet and returns when it closes; false when it cannot be shown.
  bool PropertySheet(const PROPSHEETHEADERA& header) const {
    using Show = INT_PTR(WINAPI*)(const PROPSHEETHEADERA*);
    const auto show = library_.Find<Show>("PropertySheetA");
    return show != nullptr && show(&header) != -1;
  }

 private:
  platform::SystemLibrary library_;
};

// The wizard, modal over the main window.
void ShowWizard(WizardRecord& record, const CommonControls& controls) {
  const HMODULE library = record.run.library.Module();
  const std::string title = record.run.library.Message(message::kTitle, 260);
  struct PageKind {
    int template_id;
    DLGPROC procedure;
    DWORD flags;
  };
  constexpr std::array<PageKind, 3> kPages = {{
      {kStartTemplate, StartPageProc, 0},
      {kCopyTemplate, CopyPageProc, 0},
      {kEndTemplate, EndPageProc, PSP_HASHELP},
  }};
  std::array<PROPSHEETPAGEA, kPages.size()> pages{};
  for (std::size_t i = 0; i < kPages.size(); ++i) {
    PROPSHEETPAGEA& page = pages[i];
    page.dwSize = sizeof page;
    page.dwFlags = PSP_USETITLE | kPages[i].flags;
    page.hInstance = library;
    page.pszTemplate = MAKEINTRESOURCEA(kPages[i].template_id);
    page.pfnDlgProc = kPages[i].procedure;
    page.pszTitle = title.c_str();
    page.lParam = reinterpret_cast<LPARAM>(&record);
  }
  PROPSHEETHEADERA header{};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_WIZARD | PSH_PROPSHEETPAGE;
  header.hwndParent = record.main_window;
  header.hInstance = library;
  header.pszCaption = title.c_str();
  header.nPages = static_cast<UINT>(pages.size());
  header.nStartPage = 0;
  header.ppsp = pages.data();
  controls.PropertySheet(header);
}

// The minimised main window that owns the wizard.
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* record = reinterpret_cast<WizardRecord*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  switch (message) {
    case WM_CREATE:
      ::SetWindowLongPtrA(
          window, GWLP_USERDATA,
          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams));
      return 0;
    case kShowWizardMessage:
      if (record != nullptr && record->wizard != nullptr) {
        ::ShowWindow(record->wizard, SW_SHOWNORMAL);
        ::SetForegroundWindow(record->wizard);
      }
      return 0;
    case kRunWizardMessage:
      if (record != nullptr) {
        const CommonControls controls;
        ShowWizard(*record, controls);
      }
      ::PostMessageA(window, WM_CLOSE, 0, 0);
      return 0;
    case WM_CLOSE:
      ::DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcA(window, message, wparam, lparam);
  }
}

bool RegisterMainWindowClass(HINSTANCE instance) {
  WNDCLASSEXA window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  window_class.lpfnWndProc = MainWindowProc;
  window_class.cbWndExtra = 4;
  window_class.hInstance = instance;
  window_class.hIcon = ::LoadIconA(instance, MAKEINTRESOURCEA(kInstallerIcon));
  window_class.hIconSm = window_class.hIcon;
  window_class.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BACKGROUND + 1);
  window_class.lpszClassName = kInstanceName;
  return ::RegisterClassExA(&window_class) != 0;
}

}  // namespace

WizardOutcome RunWizard(const WizardRun& run) {
  WizardRecord record(run);
  if (!RegisterMainWindowClass(run.instance))
    return {};
  RECT desktop{};
  ::GetWindowRect(::GetDesktopWindow(), &desktop);
  const std::string caption = run.library.Message(message::kTitle, 260);
  record.main_window = ::CreateWindowExA(
      0, kInstanceName, caption.c_str(), WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, desktop.left,
      desktop.top, desktop.right - desktop.left, desktop.bottom - desktop.top, ::GetDesktopWindow(),
      nullptr, run.instance, &record);
  if (record.main_window == nullptr)
    return {};
  ::ShowWindow(record.main_window, SW_SHOWMINIMIZED);
  ::PostMessageA(record.main_window, kRunWizardMessage, 0, 0);
  MSG message;
  while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
  return {record.result, record.restart};
}

}  // namespace shell

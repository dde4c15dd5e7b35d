// The yardstick of the wizard's start: the least a program can do to show the same three pages.
//
//   minimal_wizard.exe LIBRARY_PATH
//
// Loads the language library by its full path and shows its templates 102, 104 and 103 as a
// wizard with its message 1 as the caption; ends when the wizard is closed.

#include <windows.h>

#include <commctrl.h>

#include <array>

namespace {

INT_PTR CALLBACK PageProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (__argc != 2)
    return 2;
  const HMODULE library = ::LoadLibraryA(__argv[1]);
  if (library == nullptr)
    return 3;
  const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
  ::InitCommonControlsEx(&classes);
  char title[260] = {};
  ::LoadStringA(library, 1, title, sizeof title);
  constexpr std::array<int, 3> kTemplates = {102, 104, 103};
  std::array<PROPSHEETPAGEA, kTemplates.size()> pages{};
  for (std::size_t i = 0; i < pages.size(); ++i) {
    pages[i].dwSize = sizeof pages[i];
    pages[i].dwFlags = PSP_USETITLE;
    pages[i].hInstance = library;
    pages[i].pszTemplate = MAKEINTRESOURCEA(kTemplates[i]);
    pages[i].pfnDlgProc = PageProc;
    pages[i].pszTitle = title;
  }
  PROPSHEETHEADERA header{};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_WIZARD | PSH_PROPSHEETPAGE;
  header.hInstance = library;
  header.pszCaption = title;
  header.nPages = static_cast<UINT>(pages.size());
  header.ppsp = pages.data();
  ::PropertySheetA(&header);
  ::FreeLibrary(library);
  return 0;
}

#pragma once

#include <windows.h>

namespace shell {

// The dialog procedures of the wizard's pages. Each page is created with a WizardRecord as the
// lParam of its PROPSHEETPAGE and keeps it in its user data.
INT_PTR CALLBACK StartPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK CopyPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK EndPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);

}  // namespace shell

// A Win32 program that only initialises COM for its thread, as the installer does on the NT
// family before it runs a script, and exits. Benchmarks start it beside the installer: under Wine
// this alone loads the window system's libraries.

#include <objbase.h>
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const HRESULT result = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  if (SUCCEEDED(result))
    ::CoUninitialize();
  return SUCCEEDED(result) ? 0 : 1;
}

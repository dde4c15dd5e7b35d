// The cheapest Win32 program: it only exits. Benchmarks start it beside the installer to measure
// what starting a process costs.

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return 0;
}

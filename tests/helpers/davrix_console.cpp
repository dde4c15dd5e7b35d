// Test helper, built as DAVRIX.EXE: stands in for the products' console. It only waits, and ends
// by itself after a minute with exit code 7.

#include <windows.h>

int main() {
  ::Sleep(60000);
  return 7;
}

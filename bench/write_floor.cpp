// The floor of putting a file's bytes in place on Windows: copies one file into a new one in
// 64 KiB blocks with nothing else around it, as the plainest program would.
//
//   write_floor.exe SOURCE TARGET

#include <windows.h>

#include <vector>

#include "platform/win32/unique_handle.h"

int main(int argc, char** argv) {
  if (argc != 3)
    return 2;
  const platform::FileHandle from(::CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  platform::FileHandle to(::CreateFileA(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!from.IsOpen() || !to.IsOpen())
    return 1;
  std::vector<char> block(64 * 1024);
  DWORD got = 0;
  bool ok = true;
  while (ok &&
         ::ReadFile(from.Get(), block.data(), static_cast<DWORD>(block.size()), &got, nullptr) &&
         got > 0) {
    DWORD put = 0;
    ok = ::WriteFile(to.Get(), block.data(), got, &put, nullptr) && put == got;
  }
  return ok && ::CloseHandle(to.Release()) ? 0 : 1;
}

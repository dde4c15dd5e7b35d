// Test helper: a library that shows it was loaded. When a process loads it, it creates an empty
// file beside itself named after its own file name with ".loaded" added (OPStbRes.dll ->
// OPStbRes.dll.loaded). Tests plant copies of it under the names of libraries that a program must
// not take from its own folder or the current folder, and look for the sign. It exports nothing.

#include <windows.h>

#include <cstring>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH)
    return TRUE;
  constexpr char kSuffix[] = ".loaded";
  char path[MAX_PATH + sizeof kSuffix];
  const DWORD length = ::GetModuleFileNameA(instance, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH)
    return TRUE;
  std::memcpy(path + length, kSuffix, sizeof kSuffix);
  const HANDLE sign =
      ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (sign != INVALID_HANDLE_VALUE)
    ::CloseHandle(sign);
  return TRUE;
}

// Test helper: a program that shows it was started. It creates a file named after its own path
// with ".ran" added (regsvr32.exe -> regsvr32.exe.ran), holding the command line it was given,
// and exits. Tests plant copies of it under the names of programs that must not be started from
// where they are planted, and of programs whose command line they check.

#include <windows.h>

#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  constexpr char kSuffix[] = ".ran";
  char path[MAX_PATH + sizeof kSuffix];
  const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH)
    return 1;
  std::memcpy(path + length, kSuffix, sizeof kSuffix);
  const HANDLE sign =
      ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (sign == INVALID_HANDLE_VALUE)
    return 1;
  const char* command_line = ::GetCommandLineA();
  DWORD written = 0;
  const BOOL wrote = ::WriteFile(sign, command_line, static_cast<DWORD>(std::strlen(command_line)),
                                 &written, nullptr);
  ::CloseHandle(sign);
  return wrote ? 0 : 1;
}

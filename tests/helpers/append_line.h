// Appends one line (with CR LF) to a text file that other programs may hold open, for the test
// programs that write down what happens to them.
#pragma once

#include <windows.h>

#include <string>

inline void AppendLine(const std::string& file_name, const std::string& line) {
  const HANDLE file = ::CreateFileA(file_name.c_str(), FILE_APPEND_DATA,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return;
  const std::string text = line + "\r\n";
  DWORD written = 0;
  ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  ::CloseHandle(file);
}

// The path of a file beside this program.
inline std::string BesideProgram(const char* name) {
  char path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length < MAX_PATH ? length : 0);
  folder.erase(folder.find_last_of('\\') + 1);
  return folder + name;
}

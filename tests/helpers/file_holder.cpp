// Test helper: holds a file open with a chosen share mode, as a running product would.
//
//   file_holder.exe PATH SHARE CONTROL_FOLDER [SECONDS]
//
// SHARE is "none", "read", "readdelete", "readwrite" or "all" (read, write and delete). The file
// is opened for reading, as a running program holds its own files. When it is held, the file
// CONTROL_FOLDER\held appears; the holder lets go and exits when CONTROL_FOLDER\release appears,
// or after SECONDS (default 120). Exit code 0 after holding, 1 on bad arguments, 2 when the file
// cannot be opened.

#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

bool ParseShare(const std::string& word, DWORD& share) {
  if (word == "none")
    share = 0;
  else if (word == "read")
    share = FILE_SHARE_READ;
  else if (word == "readdelete")
    share = FILE_SHARE_READ | FILE_SHARE_DELETE;
  else if (word == "readwrite")
    share = FILE_SHARE_READ | FILE_SHARE_WRITE;
  else if (word == "all")
    share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  else
    return false;
  return true;
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

int main(int argc, char** argv) {
  DWORD share = 0;
  if (argc < 4 || !ParseShare(argv[2], share))
    return 1;
  const std::string control = argv[3];
  const long seconds = argc > 4 ? std::strtol(argv[4], nullptr, 10) : 120;

  HANDLE file = CreateFileA(argv[1], GENERIC_READ, share, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return 2;
  HANDLE held = CreateFileA((control + "\\held").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (held != INVALID_HANDLE_VALUE)
    CloseHandle(held);

  const std::string release = control + "\\release";
  for (long waited = 0; waited < seconds * 1000 && !Exists(release); waited += 20)
    Sleep(20);
  CloseHandle(file);
  return 0;
}

#pragma once

// Files as the install tests prepare and look at them: held open the way a running program holds
// its files, and their time stamps.

#include <windows.h>

#include <string>

#include "package/file_time.h"
#include "package/format.h"
#include "platform/win32/unique_handle.h"

namespace test_support {

// Holds a file open for reading with a share mode until destroyed; sharing is enforced within the
// process as between processes.
class HeldFile {
 public:
  HeldFile(const std::string& path, DWORD share)
      : handle_(::CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr)) {}

  bool IsHeld() const { return handle_.IsOpen(); }
  void Release() { handle_.Reset(); }

 private:
  platform::FileHandle handle_;
};

// A local time stamp in the package's form: hour, minute, second, year - 1900, month, day.
inline package::TimeStamp Stamp(int year, int month, int day, int hour, int minute, int second) {
  return {static_cast<std::uint8_t>(hour),   static_cast<std::uint8_t>(minute),
          static_cast<std::uint8_t>(second), static_cast<std::uint8_t>(year - 1900),
          static_cast<std::uint8_t>(month),  static_cast<std::uint8_t>(day)};
}

// The modification time of a file; all zero when it cannot be read.
inline package::TimeStamp ModificationTime(const std::string& path) {
  package::TimeStamp time;
  package::GetFileTimeStamp(path, time);
  return time;
}

// True when the file's creation time equals its last-write time.
inline bool CreatedWhenWritten(const std::string& path) {
  const platform::FileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                                nullptr));
  FILETIME created, written;
  return file.IsOpen() && ::GetFileTime(file.Get(), &created, nullptr, &written) &&
         ::CompareFileTime(&created, &written) == 0;
}

}  // namespace test_support

#pragma once

#include <cstdint>

#include "platform/file.h"

namespace package {

// The bytes of one set inside the file that holds it: length bytes from start, read in place. A
// set is read only through a window, and the window holds its file (it is no kind of file
// itself), so no reader of a set can seek or read into what lies around it: the installer's
// program, the other set, the directory. Positions count from the window's start.
class SetWindow {
 public:
  SetWindow() = default;
  // The window takes file and stands at its start; it is not open when file cannot be positioned
  // there. A window that would run past the file's end is the caller's to refuse.
  SetWindow(platform::File file, std::int64_t start, std::int64_t length);

  bool IsOpen() const { return file_.IsOpen(); }
  // The new position inside the window; -1 for a position outside [0, length] or when the system
  // refuses (the position then stays where it was).
  std::int64_t Seek(std::int64_t offset, platform::SeekOrigin origin);
  // Reads at most what is left of the window from the position; returns the bytes read.
  std::uint32_t Read(void* buffer, std::uint32_t count);
  std::int64_t Size() const { return length_; }
  // Whether count more bytes of the window follow the position.
  bool HoldsFromHere(std::uint32_t count) const { return position_ + count <= length_; }
  bool Close() { return file_.Close(); }

 private:
  platform::File file_;
  std::int64_t start_ = 0;
  std::int64_t length_ = 0;
  std::int64_t position_ = 0;
};

}  // namespace package

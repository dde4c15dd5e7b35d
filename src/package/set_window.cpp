#include "package/set_window.h"

#include <utility>

namespace package {

SetWindow::SetWindow(platform::File file, std::int64_t start, std::int64_t length)
    : file_(std::move(file)), start_(start), length_(length) {
  if (file_.Seek(start_, platform::SeekOrigin::kBegin) != start_)
    file_.Close();
}

std::int64_t SetWindow::Seek(std::int64_t offset, platform::SeekOrigin origin) {
  std::int64_t base = 0;
  if (origin == platform::SeekOrigin::kCurrent)
    base = position_;
  else if (origin == platform::SeekOrigin::kEnd)
    base = length_;
  // Both bounds are checked before the sum, which then cannot overflow.
  if (offset < -base || offset > length_ - base)
    return -1;
  const std::int64_t position = base + offset;
  if (file_.Seek(start_ + position, platform::SeekOrigin::kBegin) != start_ + position)
    return -1;
  position_ = position;
  return position_;
}

std::uint32_t SetWindow::Read(void* buffer, std::uint32_t count) {
  const std::int64_t left = length_ - position_;
  if (left < static_cast<std::int64_t>(count))
    count = left > 0 ? static_cast<std::uint32_t>(left) : 0;
  const std::uint32_t got = count == 0 ? 0 : file_.Read(buffer, count);
  position_ += got;
  return got;
}

}  // namespace package

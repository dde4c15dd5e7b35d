#include "log/progress_text.h"

namespace logging {

void ProgressText::Set(std::string_view text) {
  const std::lock_guard<std::mutex> lock(mutex_);
  text_.assign(text.substr(0, kCapacity - 1));
  changed_ = true;
}

void ProgressText::Clear() {
  const std::lock_guard<std::mutex> lock(mutex_);
  text_.clear();
}

std::optional<std::string> ProgressText::TakeChanged() {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (!changed_)
    return std::nullopt;
  changed_ = false;
  return text_;
}

}  // namespace logging

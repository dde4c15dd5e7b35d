#pragma once

#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace logging {

// The wizard's progress text and its changed flag. The thread that runs the installation sets
// it; the copy page's timer on the entry thread takes it.
class ProgressText {
 public:
  // The text lives in a 268-byte buffer.
  static constexpr std::size_t kCapacity = 268;

  // Stores text, cut to kCapacity - 1 characters, and marks it changed.
  void Set(std::string_view text);
  // Empties the text (a windowed run starts); the flag stays as it is.
  void Clear();
  // The text when it changed since the last call, clearing the flag; none otherwise.
  std::optional<std::string> TakeChanged();

 private:
  std::mutex mutex_;
  std::string text_;
  bool changed_ = false;
};

}  // namespace logging

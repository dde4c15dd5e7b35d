#pragma once

// A status line on stderr for long work, redrawn in place. It is shown only when stderr is a
// terminal, so logs and pipes stay quiet.

#include <string>
#include <string_view>

namespace omnipack {

class ProgressLine {
 public:
  ProgressLine();
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  void Show(std::string_view text);
  // Removes the line, so that messages that follow start on a clean line.
  void Clear();

 private:
  bool enabled_ = false;
  std::string shown_;
};

}  // namespace omnipack

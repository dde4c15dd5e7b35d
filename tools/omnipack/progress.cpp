#include "progress.h"

#include <unistd.h>

#include <cstdio>

namespace omnipack {

ProgressLine::ProgressLine() : enabled_(::isatty(STDERR_FILENO) == 1) {}

ProgressLine::~ProgressLine() {
  Clear();
}

void ProgressLine::Show(std::string_view text) {
  if (!enabled_ || text == shown_)
    return;
  shown_ = text;
  // Carriage return, the text, then erase whatever a longer earlier line left.
  std::fprintf(stderr, "\r%s\x1b[K", shown_.c_str());
  std::fflush(stderr);
}

void ProgressLine::Clear() {
  if (!enabled_ || shown_.empty())
    return;
  shown_.clear();
  std::fputs("\r\x1b[K", stderr);
  std::fflush(stderr);
}

}  // namespace omnipack

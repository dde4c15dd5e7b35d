#pragma once

// Where a window goes when it is centred: on the screen, or on a reference window and kept on the
// screen. Plain arithmetic, apart from the system, so that every rule can be checked alone.

namespace shell {

// One axis of a rectangle: its start and its extent, in pixels.
struct Span {
  int start = 0;
  int size = 0;
};

// The start of a window of extent size on one axis of a screen of extent screen, centred on
// reference when there is one. Halves are cut toward zero. A window wider than its reference
// hangs over both sides evenly but never starts before 0; a narrower one is also kept from running
// past the screen's far edge.
constexpr int CenteredStart(int size, int screen, const Span* reference) {
  if (reference == nullptr)
    return (screen - size) / 2;
  if (reference->size < size) {
    const int start = reference->start - (size - reference->size) / 2;
    return start < 0 ? 0 : start;
  }
  int start = reference->start + (reference->size - size) / 2;
  if (start < 0)
    start = 0;
  if (start + size > screen)
    start = screen - size;
  return start;
}

}  // namespace shell

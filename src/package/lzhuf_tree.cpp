#include "package/lzhuf_tree.h"

#include <algorithm>

namespace package::lzhuf {

void FillInitialHistory(std::uint8_t* history) {
  std::fill(history, history + (kRingSize - kRingStart), std::uint8_t{0});
  std::fill(history + (kRingSize - kRingStart), history + kRingSize, std::uint8_t{0x20});
}

void AdaptiveTree::Reset() {
  for (unsigned i = 0; i < kSymbolCount; ++i) {
    frequency_[i] = 1;
    child_[i] = static_cast<std::uint16_t>(i + kNodeCount);
    parent_[i + kNodeCount] = static_cast<std::uint16_t>(i);
  }
  for (unsigned i = 0, j = kSymbolCount; j <= kRoot; i += 2, ++j) {
    frequency_[j] = frequency_[i] + frequency_[i + 1];
    child_[j] = static_cast<std::uint16_t>(i);
    parent_[i] = parent_[i + 1] = static_cast<std::uint16_t>(j);
  }
  std::fill(frequency_ + kNodeCount, frequency_ + kNodeCount + kSentinels, 0xFFFF);
  parent_[kRoot] = 0;
}

void AdaptiveTree::Rebuild() {
  // Gather the leaves, in their order, at the front with halved counts (never below one).
  unsigned leaves = 0;
  for (unsigned i = 0; i < kNodeCount; ++i) {
    if (child_[i] >= kNodeCount) {
      frequency_[leaves] = (frequency_[i] + 1) / 2;
      child_[leaves] = child_[i];
      ++leaves;
    }
  }
  // Join pairs from the front; each new node goes in after every node of a count not above its
  // own, which keeps the nodes in frequency order.
  for (unsigned i = 0, j = kSymbolCount; j < kNodeCount; i += 2, ++j) {
    const std::uint32_t sum = frequency_[i] + frequency_[i + 1];
    const unsigned at = static_cast<unsigned>(
        std::upper_bound(frequency_ + i + 2, frequency_ + j, sum) - frequency_);
    std::copy_backward(frequency_ + at, frequency_ + j, frequency_ + j + 1);
    std::copy_backward(child_ + at, child_ + j, child_ + j + 1);
    frequency_[at] = sum;
    child_[at] = static_cast<std::uint16_t>(i);
  }
  for (unsigned i = 0; i < kNodeCount; ++i) {
    const unsigned child = child_[i];
    parent_[child] = static_cast<std::uint16_t>(i);
    if (child < kNodeCount)
      parent_[child + 1] = static_cast<std::uint16_t>(i);
  }
}

AdaptiveTree::Code AdaptiveTree::CodeOf(unsigned symbol) const {
  Code code{0, 0};
  // Climb from the leaf; a node's bit is its place in its sibling pair, which starts at an even
  // index.
  for (unsigned node = parent_[symbol + kNodeCount]; node != kRoot; node = parent_[node]) {
    code.bits |= (node & 1u) << code.length;
    ++code.length;
  }
  return code;
}

void AdaptiveTree::CodeLengths(std::array<std::uint8_t, kSymbolCount>& lengths) const {
  // Children sit below their parents, so one pass from the root down sees every parent first.
  std::uint8_t depth[kNodeCount];
  depth[kRoot] = 0;
  for (unsigned node = kRoot + 1; node-- > 0;) {
    const unsigned child = child_[node];
    if (child >= kNodeCount) {
      lengths[child - kNodeCount] = depth[node];
    } else {
      depth[child] = depth[child + 1] = static_cast<std::uint8_t>(depth[node] + 1);
    }
  }
}

}  // namespace package::lzhuf

// The adaptive tree that the decoder and the encoder share: the encoder's view of it (codes and
// code lengths) must agree with the decoder's walk, through rebuilds, and codes stay short enough
// for the decoder's 56-bit refill.

#include "package/lzhuf_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace {

using namespace package::lzhuf;

// Follows the code's bits from the root, as the decoder does.
unsigned Walk(const AdaptiveTree& tree, AdaptiveTree::Code code) {
  unsigned node = tree.Child(kRoot);
  for (unsigned i = code.length; i-- > 0;) {
    if (node >= kNodeCount)
      return kSymbolCount;  // a leaf before the code ended
    node = tree.Child(node + ((code.bits >> i) & 1));
  }
  return node >= kNodeCount ? node - kNodeCount : kSymbolCount;
}

void ExpectCodesAgree(const AdaptiveTree& tree) {
  std::array<std::uint8_t, kSymbolCount> lengths{};
  tree.CodeLengths(lengths);
  for (unsigned symbol = 0; symbol < kSymbolCount; ++symbol) {
    const AdaptiveTree::Code code = tree.CodeOf(symbol);
    ASSERT_EQ(Walk(tree, code), symbol);
    ASSERT_EQ(lengths[symbol], code.length) << "symbol " << symbol;
  }
}

TEST(LzhufTree, CodesAgreeWithTheWalkThroughRebuilds) {
  AdaptiveTree tree;
  tree.Reset();
  ExpectCodesAgree(tree);
  // A skewed mix of literals and lengths, past three rebuilds (the first comes at symbol 32455).
  std::uint32_t state = 3;
  for (int n = 1; n <= 100000; ++n) {
    state = state * 1664525 + 1013904223;
    const unsigned r = state >> 20;  // 0-4095
    tree.Update(r < 2048 ? 'e' : r < 3072 ? r % 64 + 'A' : r % kSymbolCount);
    if (n % 25000 == 0 || n == 32455 || n == 32456)
      ExpectCodesAgree(tree);
  }
}

// Counts that grow like the Fibonacci numbers give the deepest tree there is; a code and a
// position code (at most 14 bits) must fit the decoder's 56 bits.
TEST(LzhufTree, CodesStayShortForTheDeepestTree) {
  AdaptiveTree tree;
  tree.Reset();
  std::uint32_t a = 1;
  std::uint32_t b = 1;
  unsigned longest = 0;
  for (unsigned symbol = 0; symbol < kSymbolCount && a < 200000; ++symbol) {
    for (std::uint32_t i = 0; i < a; ++i)
      tree.Update(symbol);
    std::array<std::uint8_t, kSymbolCount> lengths{};
    tree.CodeLengths(lengths);
    longest = std::max<unsigned>(longest, *std::max_element(lengths.begin(), lengths.end()));
    const std::uint32_t next = a + b;
    a = b;
    b = next;
  }
  EXPECT_LE(longest + 14, 56u);
}

}  // namespace

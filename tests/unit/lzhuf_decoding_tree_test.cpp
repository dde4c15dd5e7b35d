// The decoder's tree must read back every code the encoder's tree gives, symbol after symbol, as
// both count the same symbols: through mixes that move nodes in and out of the levels its table
// covers, through rebuilds, and down the deepest tree there is.

#include "package/lzhuf_decoding_tree.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "package/lzhuf_tree.h"

namespace {

using namespace package::lzhuf;

std::uint32_t NextRandom(std::uint32_t& state) {
  state = state * 1664525 + 1013904223;
  return state;
}

// A steady mix like text: one frequent literal, a band of common ones, everything else rare.
std::vector<unsigned> SteadyMix(unsigned count) {
  std::vector<unsigned> symbols;
  std::uint32_t state = 3;
  for (unsigned n = 0; n < count; ++n) {
    const std::uint32_t r = NextRandom(state) >> 20;  // 0-4095
    symbols.push_back(r < 2048 ? 'e' : r < 3072 ? r % 64 + 'A' : r % kSymbolCount);
  }
  return symbols;
}

// Favourites that change every 3,000 symbols: frequent nodes sink and rare ones rise through the
// top levels, swapping with nodes of other depths.
std::vector<unsigned> ShiftingMix(unsigned count) {
  std::vector<unsigned> symbols;
  std::uint32_t state = 11;
  for (unsigned n = 0; n < count; ++n) {
    const unsigned phase = n / 3000;
    const std::uint32_t r = NextRandom(state) >> 12;
    const unsigned favourite = (phase * 37 + r % (2 + phase % 7)) % kSymbolCount;
    symbols.push_back(r % 8 < 5 ? favourite : r % kSymbolCount);
  }
  return symbols;
}

// Counts that grow like the Fibonacci numbers: the deepest tree, with the longest codes.
std::vector<unsigned> FibonacciMix() {
  std::vector<unsigned> symbols;
  std::uint32_t a = 1;
  std::uint32_t b = 1;
  for (unsigned symbol = 0; symbol < kSymbolCount && a < 30000; ++symbol) {
    symbols.insert(symbols.end(), a, symbol);
    const std::uint32_t next = a + b;
    a = b;
    b = next;
  }
  return symbols;
}

TEST(LzhufDecodingTree, ReadsEveryCodeOfTheEncodersTree) {
  const struct {
    const char* name;
    std::vector<unsigned> symbols;
  } kMixes[] = {
      // Past three rebuilds (the first comes at symbol 32455).
      {"steady", SteadyMix(100000)},
      {"shifting", ShiftingMix(120000)},
      {"fibonacci", FibonacciMix()},
  };
  for (const auto& mix : kMixes) {
    SCOPED_TRACE(mix.name);
    AdaptiveTree encoder;
    encoder.Reset();
    DecodingTree decoder;
    decoder.Reset();
    std::uint32_t state = 5;
    for (std::size_t n = 0; n < mix.symbols.size(); ++n) {
      const unsigned symbol = mix.symbols[n];
      const AdaptiveTree::Code code = encoder.CodeOf(symbol);
      // The code at the top, random bits of whatever follows below it.
      const std::uint64_t below = (std::uint64_t{NextRandom(state)} << 32) | NextRandom(state);
      std::uint64_t bits =
          (std::uint64_t{code.bits} << (64 - code.length)) | (below >> code.length);
      unsigned bit_count = 64;
      ASSERT_EQ(decoder.Read(bits, bit_count), symbol) << "symbol " << n;
      ASSERT_EQ(64 - bit_count, code.length) << "symbol " << n;
      ASSERT_EQ(bits, below >> code.length << code.length) << "symbol " << n;
      encoder.Update(symbol);
    }
  }
}

}  // namespace

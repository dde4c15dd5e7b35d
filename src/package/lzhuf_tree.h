#pragma once

// The parts of LZHUF that the decoder and the builder's encoder share: the stream parameters, the
// adaptive Huffman tree of literals and match lengths, and the fixed prefix code of the upper six
// bits of match positions. Both sides update the tree identically after every symbol, so one
// implementation serves both.

#include <array>
#include <cstddef>
#include <cstdint>

namespace package::lzhuf {

inline constexpr unsigned kRingSize = 4096;
inline constexpr unsigned kLongestMatch = 60;
inline constexpr unsigned kThreshold = 2;  // matches are at least kThreshold + 1 bytes
inline constexpr unsigned kShortestMatch = kThreshold + 1;
// Write position of the first output byte: the ring holds kRingStart spaces before it and
// kRingSize - kRingStart zero bytes after it.
inline constexpr unsigned kRingStart = kRingSize - kLongestMatch;

// Writes the ring's initial contents into kRingSize bytes in the order of their age, as the
// history before the first byte: the zeros after the write position, then the spaces before it.
void FillInitialHistory(std::uint8_t* history);

// Symbols 0-255 are literal bytes, 256 and up the match lengths 3 to 60.
inline constexpr unsigned kSymbolCount = 256 + kLongestMatch - kThreshold;
inline constexpr unsigned kFirstLengthSymbol = 256;
inline constexpr unsigned LengthSymbol(unsigned length) {
  return length + kFirstLengthSymbol - kShortestMatch;
}
inline constexpr unsigned SymbolLength(unsigned symbol) {
  return symbol - kFirstLengthSymbol + kShortestMatch;
}

inline constexpr unsigned kNodeCount = 2 * kSymbolCount - 1;
inline constexpr unsigned kRoot = kNodeCount - 1;
inline constexpr unsigned kFrequencyLimit = 0x8000;

// The adaptive tree as node tables. Nodes are kept in order of frequency, siblings side by side
// (the first of a pair at an even index), so the tree is a Huffman tree of the counts at all
// times. A child value of kNodeCount or more is a leaf: symbol + kNodeCount.
class AdaptiveTree {
 public:
  // The starting tree: every symbol counted once.
  void Reset();

  // The first of the two children of an internal node; bit 1 selects the second.
  unsigned Child(unsigned node) const { return child_[node]; }

  // The code of a symbol in the current tree, first bit in the most significant place of the
  // low `length` bits.
  struct Code {
    std::uint32_t bits;
    unsigned length;
  };
  Code CodeOf(unsigned symbol) const;

  // Code lengths of every symbol in the current tree.
  void CodeLengths(std::array<std::uint8_t, kSymbolCount>& lengths) const;

  // Counts one more occurrence of symbol; rebuilds the tree first when the root has reached the
  // frequency limit. Called after every coded symbol, on both sides.
  inline void Update(unsigned symbol);

 protected:
  void Rebuild();
  // Exchanges the subtrees under two nodes, which keep their places and take each other's
  // children.
  inline void ExchangeSubtrees(std::size_t node, std::size_t last);

  // Sentinels above every count behind the nodes, as many as a look ahead of the decoder's tree
  // reads past the last node below the root.
  static constexpr unsigned kSentinels = 3;

  // Counts stay at or below kFrequencyLimit; 32-bit cells keep 16-bit arithmetic out of Update.
  std::uint32_t frequency_[kNodeCount + kSentinels];
  std::uint16_t parent_[kNodeCount + kSymbolCount];  // leaves' parents are at symbol + kNodeCount
  std::uint16_t child_[kNodeCount];
};

inline void AdaptiveTree::Update(unsigned symbol) {
  if (frequency_[kRoot] == kFrequencyLimit)
    Rebuild();
  // Pointer-sized indices let node + 1 share the address computation of node.
  std::size_t node = parent_[symbol + kNodeCount];
  do {
    const unsigned count = ++frequency_[node];
    // Keep the frequency order: move the node past every following node of a smaller count
    // (they all had count - 1), swapping subtrees with the last of them.
    if (count > frequency_[node + 1]) {
      std::size_t last = node + 1;
      while (count > frequency_[last + 1])
        ++last;
      frequency_[node] = frequency_[last];
      frequency_[last] = count;
      ExchangeSubtrees(node, last);
      node = last;
    }
    node = parent_[node];
  } while (node != 0);  // the root's parent; node 0 is never a parent
}

inline void AdaptiveTree::ExchangeSubtrees(std::size_t node, std::size_t last) {
  const std::size_t moved = child_[node];
  parent_[moved] = static_cast<std::uint16_t>(last);
  if (moved < kNodeCount)
    parent_[moved + 1] = static_cast<std::uint16_t>(last);
  const std::size_t other = child_[last];
  child_[last] = static_cast<std::uint16_t>(moved);
  parent_[other] = static_cast<std::uint16_t>(node);
  if (other < kNodeCount)
    parent_[other + 1] = static_cast<std::uint16_t>(node);
  child_[node] = static_cast<std::uint16_t>(other);
}

// The fixed position code. The decoder looks up the next 8 bits of the stream in `upper` (the
// upper six bits of the position) and `length` (how many of those 8 bits the code takes); the
// encoder looks up the upper six bits in `code` and `upper_length`. The lower six bits of the
// position follow the code as plain bits.
struct PositionCodeTables {
  std::array<std::uint8_t, 256> upper;        // by the next 8 bits
  std::array<std::uint8_t, 256> length;       // by the next 8 bits
  std::array<std::uint8_t, 64> code;          // by upper bits: the code, left-aligned in 8 bits
  std::array<std::uint8_t, 64> upper_length;  // by upper bits: the code's length
};

inline constexpr PositionCodeTables MakePositionCodeTables() {
  // Groups of upper values sharing a code length, in code order.
  constexpr struct {
    unsigned values;
    unsigned length;
  } kGroups[] = {{1, 3}, {3, 4}, {8, 5}, {12, 6}, {24, 7}, {16, 8}};
  PositionCodeTables tables{};
  unsigned index = 0;
  unsigned upper = 0;
  for (const auto& group : kGroups) {
    for (unsigned v = 0; v < group.values; ++v, ++upper) {
      tables.code[upper] = static_cast<std::uint8_t>(index);
      tables.upper_length[upper] = static_cast<std::uint8_t>(group.length);
      for (unsigned n = 0; n < (1u << (8 - group.length)); ++n, ++index) {
        tables.upper[index] = static_cast<std::uint8_t>(upper);
        tables.length[index] = static_cast<std::uint8_t>(group.length);
      }
    }
  }
  return tables;
}

inline constexpr PositionCodeTables kPositionCode = MakePositionCodeTables();
inline constexpr unsigned kPositionLowBits = 6;

}  // namespace package::lzhuf

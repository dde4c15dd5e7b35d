#pragma once

// The decoder's view of the adaptive tree: the same tree, counts and updates as AdaptiveTree, so
// both sides keep agreeing on every code, plus a table of the tree's top levels by the next bits
// of the stream, so that a short code is read in one lookup and a long one walks only its last
// levels. The table is kept valid as the tree changes: only a swap of a node in the top levels
// rewrites it, and only under that node.

#include <cstdint>

#include "package/lzhuf_tree.h"

namespace package::lzhuf {

class DecodingTree : private AdaptiveTree {
 public:
  // The starting tree: every symbol counted once.
  void Reset();

  // Reads the code of one symbol from the most significant bits (at least the longest code's
  // worth of them valid), consumes its bits and counts the symbol; returns the symbol.
  inline unsigned Read(std::uint64_t& bits, unsigned& bit_count);

 private:
  static constexpr unsigned kTableBits = 6;

  // Table entries: the child of the node that the code's first bits reach, in the low 16 bits
  // (a leaf's value when the code ends there), and how many bits that took above them.
  static constexpr unsigned kEntryLengthShift = 16;

  // Counts symbol, whose leaf lies depth levels below the root.
  inline void Update(unsigned symbol, unsigned depth);
  // Counts node once more and, when that puts it above the nodes after it, exchanges its subtree
  // with the last of them; returns where the subtree went.
  inline std::size_t Count(std::size_t node);
  // The rare exchange of subtrees where either node lies in the top levels: keeps the table and
  // the places valid.
  void SwapInTop(std::size_t node, std::size_t last);

  // Writes the places of the nodes under node, at heap index place, down to the table's depth,
  // and with_table their table entries and node's own.
  void Place(unsigned place, unsigned node, bool with_table);
  // Forgets the places of the nodes under node.
  void Unplace(unsigned node);
  void RebuildTable();

  // Per node, its place among the top levels as a heap index (1 the root, 2h and 2h + 1 the
  // children of h), or 0 below them.
  std::uint16_t place_[kNodeCount];
  std::uint32_t table_[1u << kTableBits];
};

inline unsigned DecodingTree::Read(std::uint64_t& bits, unsigned& bit_count) {
  const std::uint32_t entry = table_[bits >> (64 - kTableBits)];
  unsigned length = entry >> kEntryLengthShift;
  bits <<= length;
  unsigned node = entry & 0xFFFFu;
  while (node < kNodeCount) {
    node = child_[node + static_cast<unsigned>(bits >> 63)];
    bits <<= 1;
    ++length;
  }
  bit_count -= length;
  const unsigned symbol = node - kNodeCount;
  Update(symbol, length);
  return symbol;
}

inline void DecodingTree::Update(unsigned symbol, unsigned depth) {
  if (frequency_[kRoot] == kFrequencyLimit) {
    Rebuild();
    RebuildTable();
    // The rebuilt tree may hold the leaf at another depth: the climb goes by the root instead.
    depth = 0;
  }
  // The leaf is depth levels below the root. Until a node moves, the climb counts those levels
  // rather than testing for the root, so that the loop's end is known before the loads along the
  // way arrive; after a move, and after a rebuild, it tests for the root.
  std::size_t node = parent_[symbol + kNodeCount];
  for (; depth != 0; --depth) {
    const std::size_t counted = Count(node);
    const bool moved = counted != node;
    node = parent_[counted];
    if (moved)
      break;
  }
  while (node != kRoot)
    node = parent_[Count(node)];
  // The root is counted apart: it never moves.
  ++frequency_[kRoot];
}

inline std::size_t DecodingTree::Count(std::size_t node) {
  const unsigned count = ++frequency_[node];
  if (count <= frequency_[node + 1])
    return node;
  // The nodes after node that had count - 1 run to last. The counts are in order, so the
  // comparisons of the next three tell how many of them are in the run without a branch.
  std::size_t last = node + 1 + (count > frequency_[node + 2]) + (count > frequency_[node + 3]) +
                     (count > frequency_[node + 4]);
  if (last == node + 4) {
    while (count > frequency_[last + 1])
      ++last;
  }
  frequency_[node] = frequency_[last];
  frequency_[last] = count;
  if ((place_[node] | place_[last]) != 0)
    SwapInTop(node, last);
  else
    ExchangeSubtrees(node, last);
  return last;
}

}  // namespace package::lzhuf

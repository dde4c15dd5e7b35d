#include "package/lzhuf_decoding_tree.h"

#include <algorithm>
#include <bit>
#include <iterator>

namespace package::lzhuf {

void DecodingTree::Reset() {
  AdaptiveTree::Reset();
  RebuildTable();
}

void DecodingTree::RebuildTable() {
  std::fill(std::begin(place_), std::end(place_), std::uint16_t{0});
  place_[kRoot] = 1;
  Place(1, kRoot, true);
}

namespace {

unsigned DepthOf(unsigned place) {
  return static_cast<unsigned>(std::bit_width(place)) - 1;
}

}  // namespace

void DecodingTree::SwapInTop(std::size_t node, std::size_t last) {
  const unsigned node_place = place_[node];
  const unsigned last_place = place_[last];
  const unsigned depth = DepthOf(node_place);
  ExchangeSubtrees(node, last);
  if (node_place != 0 && last_place != 0 && DepthOf(last_place) == depth) {
    // The usual case, two nodes at one depth: their table entries change places as they are,
    // and only the places under them are written again.
    const unsigned span = 1u << (kTableBits - depth);
    std::uint32_t* const node_entries = table_ + (node_place - (1u << depth)) * span;
    std::swap_ranges(node_entries, node_entries + span,
                     table_ + (last_place - (1u << depth)) * span);
    Place(node_place, static_cast<unsigned>(node), false);
    Place(last_place, static_cast<unsigned>(last), false);
    return;
  }
  // Neither node lies under the other (they had the same count), so the subtrees are apart; each
  // is forgotten where it was, now under the other node, and placed where it is.
  Unplace(static_cast<unsigned>(last));
  Unplace(static_cast<unsigned>(node));
  if (node_place != 0)
    Place(node_place, static_cast<unsigned>(node), true);
  if (last_place != 0)
    Place(last_place, static_cast<unsigned>(last), true);
}

void DecodingTree::Place(unsigned place, unsigned node, bool with_table) {
  const unsigned depth = DepthOf(place);
  const unsigned child = child_[node];
  if (child >= kNodeCount || depth == kTableBits) {
    if (with_table) {
      // Every entry whose first depth bits lead here.
      const unsigned span = 1u << (kTableBits - depth);
      const unsigned first = (place - (1u << depth)) * span;
      std::fill(table_ + first, table_ + first + span, child | depth << kEntryLengthShift);
    }
    return;
  }
  for (unsigned bit = 0; bit < 2; ++bit) {
    place_[child + bit] = static_cast<std::uint16_t>(2 * place + bit);
    Place(2 * place + bit, child + bit, with_table);
  }
}

void DecodingTree::Unplace(unsigned node) {
  // Goes by the places of the nodes themselves: node may have just taken its subtree from
  // another node.
  const unsigned child = child_[node];
  if (child >= kNodeCount)
    return;
  for (const unsigned under : {child, child + 1}) {
    if (place_[under] != 0) {
      Unplace(under);
      place_[under] = 0;
    }
  }
}

}  // namespace package::lzhuf

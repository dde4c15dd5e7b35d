#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "package/format.h"
#include "package/set_window.h"

namespace package {

// Reads the entry header at the set's current position; false on a short read.
bool ReadEntryHeader(SetWindow& set, EntryHeader& header);

// Where the entry headers of one set start, taken from one walk over the headers, so that fetching
// many files does not walk the set from its start for each of them. Only a hash of each
// case-folded name is kept beside the header's offset (8 bytes an entry); the name itself is
// confirmed in the header read back at the offset.
class EntryIndex {
 public:
  // Positions set at the compressed data of the first entry whose name equals name (ignoring
  // case) and fills header. The walk that builds the index runs on the first call and stops where
  // a walk from the start would: at a header without the tag, a short read or a failed seek; so
  // an entry beyond that point is not found. False when there is no such entry, a read fails or
  // memory runs out for the index (then the next call tries again).
  bool Find(SetWindow& set, std::string_view name, EntryHeader& header);

 private:
  struct Slot {
    std::uint32_t name_hash;
    std::uint32_t header_offset;
  };
  bool Build(SetWindow& set);

  bool built_ = false;
  std::vector<Slot> slots_;  // by name hash, then in set order
};

}  // namespace package

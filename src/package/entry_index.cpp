#include "package/entry_index.h"

#include <algorithm>
#include <limits>
#include <new>
#include <utility>

#include "base/ascii_case.h"

namespace package {
namespace {

// FNV-1a over the case-folded bytes: names that are equal ignoring case share a hash.
std::uint32_t FoldedNameHash(std::string_view name) {
  std::uint32_t hash = 2166136261u;
  for (char c : name) {
    hash ^= static_cast<std::uint8_t>(base::FoldAsciiCase(c));
    hash *= 16777619u;
  }
  return hash;
}

}  // namespace

bool ReadEntryHeader(SetWindow& set, EntryHeader& header) {
  EntryHeaderBytes bytes;
  if (set.Read(bytes.data(), kEntryHeaderSize) != kEntryHeaderSize)
    return false;
  header = ParseEntryHeader(bytes);
  return true;
}

bool EntryIndex::Build(SetWindow& set) {
  std::vector<Slot> slots;
  try {
    std::int64_t offset = 0;
    EntryHeader header;
    // The trailer gives a set's size in 32 bits, so every header that can be read whole starts at
    // an offset that fits in 32 bits.
    while (offset <= std::numeric_limits<std::uint32_t>::max() &&
           set.Seek(offset, platform::SeekOrigin::kBegin) == offset &&
           ReadEntryHeader(set, header) && header.HasTag()) {
      slots.push_back({FoldedNameHash(header.Name()), static_cast<std::uint32_t>(offset)});
      offset += static_cast<std::int64_t>(kEntryHeaderSize) + header.compressed_size;
    }
    // Offsets grow along the walk, so a stable sort by hash keeps the first entry of a name ahead
    // of its duplicates.
    std::stable_sort(slots.begin(), slots.end(),
                     [](const Slot& a, const Slot& b) { return a.name_hash < b.name_hash; });
    slots.shrink_to_fit();
  } catch (const std::bad_alloc&) {
    return false;
  }
  slots_ = std::move(slots);
  built_ = true;
  return true;
}

bool EntryIndex::Find(SetWindow& set, std::string_view name, EntryHeader& header) {
  if (!built_ && !Build(set))
    return false;
  const std::uint32_t hash = FoldedNameHash(name);
  auto slot = std::lower_bound(slots_.begin(), slots_.end(), hash,
                               [](const Slot& s, std::uint32_t h) { return s.name_hash < h; });
  for (; slot != slots_.end() && slot->name_hash == hash; ++slot) {
    const std::int64_t offset = slot->header_offset;
    if (set.Seek(offset, platform::SeekOrigin::kBegin) != offset || !ReadEntryHeader(set, header))
      return false;
    if (base::EqualsIgnoringCase(header.Name(), name))
      return true;
  }
  return false;
}

}  // namespace package

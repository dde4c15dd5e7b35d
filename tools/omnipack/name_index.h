#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "base/ascii_case.h"

namespace omnipack {

// Hashing and equality of names compared ignoring case as the installer compares them, for a
// lookup by any spelling without making a folded copy of it.
struct FoldedNameHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view name) const {
    // FNV-1a over the bytes with bit 5 cleared: a letter hashes as in either case (so do a few
    // other pairs of bytes, which only share a bucket).
    std::uint64_t hash = 14695981039346656037u;
    for (const char c : name)
      hash = (hash ^ (static_cast<unsigned char>(c) & 0xDFu)) * 1099511628211u;
    return static_cast<std::size_t>(hash);
  }
};
struct FoldedNameEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const {
    return a == b || base::EqualsIgnoringCase(a, b);  // names are mostly spelt alike
  }
};

// The first item of each name among many, names compared ignoring case as the installer compares
// them, so that looking up every entry and every record of a package stays linear in its size.
template <typename Item>
class NameIndex {
 public:
  // The index points at the items: a copy would point at the originals, so there is none.
  NameIndex() = default;
  NameIndex(NameIndex&&) = default;
  NameIndex& operator=(NameIndex&&) = default;
  NameIndex(const NameIndex&) = delete;
  NameIndex& operator=(const NameIndex&) = delete;

  // Makes room for count names at once.
  void Reserve(std::size_t count) { first_.reserve(count); }
  // Keeps item unless an earlier one has the same name.
  void Add(std::string_view name, const Item& item) {
    first_.try_emplace(std::string(name), &item);
  }
  // The first item of the name; null when none has it.
  const Item* Find(std::string_view name) const {
    const auto found = first_.find(name);
    return found == first_.end() ? nullptr : found->second;
  }

 private:
  std::unordered_map<std::string, const Item*, FoldedNameHash, FoldedNameEqual> first_;
};

}  // namespace omnipack

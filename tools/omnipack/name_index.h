#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

#include "base/ascii_case.h"

namespace omnipack {

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
    first_.try_emplace(base::FoldedAsciiCase(name), &item);
  }
  // The first item of the name; null when none has it.
  const Item* Find(std::string_view name) const {
    const auto found = first_.find(base::FoldedAsciiCase(name));
    return found == first_.end() ? nullptr : found->second;
  }

 private:
  std::unordered_map<std::string, const Item*> first_;
};

}  // namespace omnipack

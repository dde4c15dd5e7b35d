#pragma once

// What the builder refuses to pack and verify reports: files that the installer could not give
// back as they are. Each rule is written once here and used by both.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "diagnostics.h"
#include "pack_entry.h"

namespace omnipack {

// What the rules look at of one file of a set.
struct EntryFacts {
  std::string_view name;  // stored name, "\" between folder parts
  std::uint64_t size = 0;
  bool has_record = false;
};

// One reason per rule that the file breaks; empty when it can go into a set.
std::vector<std::string> EntryProblems(const EntryFacts& facts);

// Two names of one set (or of the directory) that are equal but for case: the later one and the
// earlier one it clashes with, as indexes into the names given.
struct CaseClash {
  std::size_t later = 0;
  std::size_t earlier = 0;
};
std::vector<CaseClash> CaseClashes(std::span<const std::string> names);
std::string CaseClashReason(std::string_view name, std::string_view earlier);

// The builder's check of a whole set: one error per file and reason, naming the file by its host
// path; empty when every file can go into the set.
std::vector<ToolError> CheckSetEntries(std::span<const PackEntry> entries);

}  // namespace omnipack

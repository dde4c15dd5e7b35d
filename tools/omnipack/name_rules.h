#pragma once

// What the builder refuses to pack: files that the installer could not give back as they are.

#include <span>
#include <vector>

#include "diagnostics.h"
#include "pack_entry.h"

namespace omnipack {

// One error per file and reason, naming the file by its host path; empty when every file can go
// into the set.
std::vector<ToolError> CheckSetEntries(std::span<const PackEntry> entries);

}  // namespace omnipack

#pragma once

#include <optional>
#include <string>
#include <vector>

#include "diagnostics.h"
#include "pack_entry.h"

namespace omnipack {

// Lists every file below folder (subfolders included) as a pack entry named relative to folder,
// sorted by stored name in byte order so that a build does not depend on the order of the
// directory listing. Things that are neither files nor folders go to problems. An error when the
// folder cannot be read.
std::optional<ToolError> CollectFolder(const std::string& folder, std::vector<PackEntry>& entries,
                                       std::vector<ToolError>& problems);

}  // namespace omnipack

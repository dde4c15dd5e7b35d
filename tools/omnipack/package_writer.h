#pragma once

// Writes a finished installer: the stub, then the package (language set, main set, directory,
// trailer) in exactly the layout the installer reads.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "diagnostics.h"
#include "pack_entry.h"

namespace omnipack {

struct PackageInput {
  std::string stub_path;
  std::vector<PackEntry> language_entries;  // in entry order
  std::vector<PackEntry> main_entries;      // in entry order; records follow the same order
  std::uint32_t flags = 0;                  // the trailer's flags word
};

// Where the writer stands, for a progress display.
struct PackStep {
  std::string_view set;   // "language" or "main"
  std::size_t index = 0;  // 1-based within the set
  std::size_t count = 0;
  std::string_view name;
  std::uint64_t bytes_done = 0;
  std::uint64_t bytes_total = 0;
};
using PackProgress = std::function<void(const PackStep&)>;

// Writes the installer to out_path. The output is written beside it as out_path + ".part" and
// renamed into place once complete, so a failed build leaves nothing half-written behind. The
// same input gives the same bytes: nothing but the input goes into the output.
std::optional<ToolError> WritePackage(const PackageInput& input, const std::string& out_path,
                                      const PackProgress& progress = {});

}  // namespace omnipack

#pragma once

#include <string>
#include <string_view>

#include "base/status.h"

// WININIT.INI, which the 9x family works through once at its next start: the lines of its
// "[rename]" section delete ("NUL=path") or move ("to=from") files before anything holds them.
namespace platform {

inline constexpr char kWininitName[] = "WININIT.INI";
// The rewritten WININIT.INI is built here, beside it, and then copied over it.
inline constexpr char kWininitScratchName[] = "WININIT.XYZ";

// Adds lines (each ending in CR LF) to the "[rename]" section of the WININIT.INI in folder: a new
// file or an empty one gets the section and the lines; in an existing file they go at the end of
// its section (found in any letter case, also inside other text), or into a new section at its
// end. Every byte of the existing file is kept, whatever its line lengths. A merge that fails
// leaves the file as it was. status::kOk; kEmptyFile when its size cannot be read, kOpenFailed
// when it cannot be created, kWriteFailed when a read, a write or the final copy failed.
Status AddRenameLinesIn(const std::string& folder, std::string_view lines);

// AddRenameLinesIn for the WININIT.INI of the Windows directory; status::kOpenFailed also when
// there is none.
Status AddRenameLines(std::string_view lines);

}  // namespace platform

#pragma once

#include <string>
#include <string_view>

#include "log/status.h"
#include "script/script_context.h"

// Replacing a file at the next restart: on the NT family through the system's delayed moves, on
// the 9x family through the "[rename]" section of WININIT.INI.
namespace install {

// Stages source beside destination and queues its move onto destination at restart. source is
// rewritten to the staging copy's path. 0; 8, 9, 12, 45.
Status ScheduleReplaceOnReboot(script::ScriptContext& context, const std::string& destination,
                               std::string& source);

// Adds lines (each ending in CR LF) to the "[rename]" section of WININIT.INI in the Windows
// directory, creating the file or the section when missing. 0; 8, 9, 12.
Status AddRenameLines(std::string_view lines);

}  // namespace install

#pragma once

#include <string>

#include "base/status.h"
#include "script/script_context.h"

// Replacing a file at the next restart: on the NT family through the system's delayed moves, on
// the 9x family through the "[rename]" section of WININIT.INI.
namespace install {

// Stages source beside destination and queues its move onto destination at restart (after the
// deletion of destination). source is rewritten to the staging copy's path. Clears the
// reboot-not-needed flag when the move is queued. 0; 8, 9, 12, 45.
Status ScheduleReplaceOnReboot(script::ScriptContext& context, const std::string& destination,
                               std::string& source);

// Copies source to the staging name of destination (NumberedFreeName, overwriting) and rewrites
// source to it.
// False, source unchanged, when the copy fails or its path would pass 259 characters.
bool MakeStagingCopy(const std::string& destination, std::string& source);

// The two WININIT.INI lines that replace destination at restart, in short (8.3) paths:
// "NUL=<destination>" and "<destination>=<staging copy>". Makes the staging copy (source is
// rewritten to it). 9, source unchanged, when the copy cannot be made or when a line with its
// CR LF would pass 260 characters: the staging copy is then removed, since a cut path would
// delete or move another file at restart.
Status BuildRenameLines(std::string& out, const std::string& destination, std::string& source);

}  // namespace install

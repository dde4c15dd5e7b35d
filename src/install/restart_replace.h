#pragma once

#include <string>

#include "base/status.h"
#include "platform/system.h"
#include "script/script_context.h"

// Replacing a file at the next restart: on the NT family through the system's delayed moves, on
// the 9x family through the "[rename]" section of WININIT.INI.
namespace install {

// Stages source beside destination and queues its move onto destination at restart (after the
// deletion of destination); source is then rewritten to the staging copy's path. Clears the
// reboot-not-needed flag when the move is queued. status::kOk; kNoRights when the system refuses
// the move (logged, the staging copy removed); when no staging copy can be made or (9x) its paths
// do not fit WININIT.INI's lines, kWriteFailed on the NT family and kOpenFailed on the 9x family;
// the failures of AddRenameLines when WININIT.INI cannot take them (the staging copy is left,
// source rewritten); kWriteFailed on any other system.
Status ScheduleReplaceOnReboot(script::ScriptContext& context, const std::string& destination,
                               std::string& source,
                               platform::SystemFamily family = platform::RunningFamily());

// Copies source to the staging name of destination (NumberedFreeName, overwriting) and rewrites
// source to it.
// False, source unchanged, when every staging name is taken, the copy fails or its path would
// pass 259 characters.
bool MakeStagingCopy(const std::string& destination, std::string& source);

}  // namespace install

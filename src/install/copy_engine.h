#pragma once

#include <string>

#include "log/status.h"
#include "script/script_context.h"

// The steps every installing command is made of once its file has been fetched into the package
// folder: back up the destination, copy over it, or leave it for replacement at restart.
namespace install {

// Copies an existing destination into the backup directory under its file name, keeping its
// modification time. 0 also when there is nothing to back up; 35, 11, 12, 1.
Status BackupFile(script::ScriptContext& context, const std::string& destination);

// Copies source over destination (created when may_create). 33 when the destination cannot be
// opened for writing nor created: direct-copy mode and the reboot-not-needed flag are cleared.
// 0 when the source cannot be opened (nothing copied); 11, 12, 1.
Status CopyIntoPlace(script::ScriptContext& context, const std::string& destination,
                     const std::string& source, bool may_create);

// Removes a destination before a forced copy; one in use is moved aside to "<stem>.<n>" and
// queued for deletion at restart. True when the destination is gone or moved aside.
bool ClearDestination(const std::string& destination);

// Copies now in direct-copy mode, else (or when the destination turns out to be in use) schedules
// the replacement at restart; source is rewritten to the staging copy when scheduled.
Status PlaceFile(script::ScriptContext& context, const std::string& destination,
                 std::string& source, bool may_create);

}  // namespace install

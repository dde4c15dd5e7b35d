#pragma once

#include <string>

#include "base/status.h"
#include "platform/file.h"
#include "script/script_context.h"

// The steps every installing command is made of once its file has been fetched into the package
// folder: back up the destination, copy over it, or leave it for replacement at restart.
namespace install {

// Copies an existing destination into the backup directory under its file name, keeping its
// modification time. status::kOk also when there is nothing to back up (no such file, or no
// backup directory set); kBackupFailed when the backup cannot be made or the destination not
// opened, kReadFailed, kWriteFailed or kNoMemory when the copy fails. made, when given, receives
// the backup's path, empty when no backup was made.
Status BackupFile(script::ScriptContext& context, const std::string& destination,
                  std::string* made = nullptr);

// Copies source over destination, which is created when there is none, with source's modification
// time. status::kNoRun when the destination can neither be opened for writing nor created (it is in
// use): direct-copy mode and the reboot-not-needed flag are cleared. kOk also when the source
// cannot be opened (nothing copied); kReadFailed, kWriteFailed or kNoMemory when the copy fails.
// When it fails part-way, a destination it created is deleted; backup names the copy of
// destination's old content that the calling command made (empty: none), which is then put back
// instead.
Status CopyIntoPlace(script::ScriptContext& context, const std::string& destination,
                     const std::string& source, const std::string& backup = {});

// What FILE and COPYFILEAS do with their fetched file: BackupFile, then PlaceFile, with their
// statuses; in direct-copy mode the destination is opened or created once for both. source_file
// is the source open for reading when the caller has it so (it is closed before the source is
// used by its name); otherwise the source is opened by its name.
Status BackUpAndPlace(script::ScriptContext& context, const std::string& destination,
                      std::string& source, platform::File& source_file);

// Removes a destination before a forced copy; one in use is moved aside to "<stem>.<n>" and
// queued for deletion at restart. True when the destination is gone or moved aside.
bool ClearDestination(const std::string& destination);

// Copies now in direct-copy mode, else (or when the destination turns out to be in use) schedules
// the replacement at restart; source is rewritten to the staging copy when scheduled. backup as
// for CopyIntoPlace.
Status PlaceFile(script::ScriptContext& context, const std::string& destination,
                 std::string& source, const std::string& backup = {});

}  // namespace install

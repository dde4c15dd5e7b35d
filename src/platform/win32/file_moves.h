#pragma once

#include <string>

#include "base/status.h"
#include "platform/system.h"

// Renaming files now and at the next restart, each the way the system's family has it: the NT
// family through MoveFileExA and its delayed moves; the 9x family, which has no MoveFileExA,
// through MoveFileA and the "[rename]" section of WININIT.INI (short paths). The family is a
// parameter so that either way can be exercised on any system.
namespace platform {

// Renames from to to at once; with replace_existing a file of the name to is replaced, else the
// rename fails when to exists. True when renamed.
bool RenameNow(const std::string& from, const std::string& to, bool replace_existing,
               SystemFamily family = RunningFamily());

// Queues path (a file or a folder) for deletion at the next restart. status::kOk; kNoRights when
// the NT family refuses (its list of delayed moves cannot be written); on the 9x family the
// failures of AddRenameLines; kWriteFailed on any other system, which has no way to do it.
Status DeleteAtRestart(const std::string& path, SystemFamily family = RunningFamily());

// Queues the move of from onto to at the next restart, after the deletion of to, so that the move
// finds the name free; to need not exist yet. status::kOk; kNoRights when the NT family refuses;
// on the 9x family kLineTooLong when a WININIT.INI line with its CR LF would pass 260 characters
// (nothing is written), and the failures of AddRenameLines; kWriteFailed on any other system.
Status MoveAtRestart(const std::string& from, const std::string& to,
                     SystemFamily family = RunningFamily());

}  // namespace platform

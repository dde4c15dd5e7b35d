#pragma once

#include "base/status.h"
#include "script/script_context.h"

namespace script {

// The INCLUDEGLOBALS line of "ThisPackage": fetches the named globals file from the package (its
// CRC checked against the directory), reports message 106 and runs the file's SET lines one by
// one as they are read, so a line sees the variables of the lines before it. The file holds only
// SET lines and comments; anything else is status::kUnknownCommand with the keyword as error
// text. Every error inside the file is reported with the INCLUDEGLOBALS line. The first failure
// ends it: also kExtractFailed, kOpenFailed or kSignatureFailed from the fetch, kEmptyFile,
// kOpenFailed or kReadFailed from reading, kLineTooLong for an over-long line.
Status IncludeGlobals(ScriptContext& context, const ScriptCommand& command);

}  // namespace script

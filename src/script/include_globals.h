#pragma once

#include "base/status.h"
#include "script/script_context.h"

namespace script {

// The INCLUDEGLOBALS line of "ThisPackage": fetches the named globals file from the package (its
// CRC checked against the directory), reports message 106 and runs the file's SET lines one by
// one as they are read, so a line sees the variables of the lines before it. The file holds only
// SET lines and comments; anything else is status 2 with the keyword as error text. Every error
// inside the file is reported with the INCLUDEGLOBALS line. The first non-zero status ends it:
// also 29, 9, 42 from the fetch, 8, 9, 11 from reading, 3 for an over-long line.
Status IncludeGlobals(ScriptContext& context, const ScriptCommand& command);

}  // namespace script

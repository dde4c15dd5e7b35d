#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

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

// Reads a globals file's text, which ends at its first NUL, one SET line at a time, and hands
// each line to each with the text offset where its keyword starts; every line carries the line
// number given (lines of the file are not counted). The first status that is not kOk ends it:
// each's, or kUnknownCommand (keyword in error_text) or kLineTooLong for a line not read; then
// failed_offset, when given, receives where that line's keyword starts.
using GlobalsLine = std::function<Status(const ScriptCommand& set, std::size_t offset)>;
Status ReadGlobalsText(std::string_view text, std::int32_t line, std::string& error_text,
                       const GlobalsLine& each, std::size_t* failed_offset = nullptr);

}  // namespace script

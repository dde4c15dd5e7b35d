#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "script/script_context.h"

namespace system_commands {

// Where the INI commands find a file named in a script: the first existing file (not a folder)
// among the work directory (when there is one), the current directory, the Windows directory and
// the system directory, each joined with name, and then what the system's search finds for it
// (the program's folder, the current, system and Windows directories, the folders of PATH; an
// absolute name is found there). The full path, at most 259 characters; none when there is no
// such file or name names a device (CON, NUL, COM1, ...).
std::optional<std::string> LocateFile(const script::ScriptContext& context, std::string_view name);

}  // namespace system_commands

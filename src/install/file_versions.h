#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/status.h"
#include "script/script_context.h"

// The commands that read a version number out of a file: the text a program carries after its
// own name, and the number in a data file's header.
namespace install {

// The first version text after key in window, both compared in upper case: key, spaces, dots,
// optionally "V" or "VERSION" followed by spaces and dots, then digit "." digit "." digit with at
// least one more character after it. Returns those five characters.
std::optional<std::string> FindVersionText(std::string_view window, std::string_view key);

// out = name: the version text of the work directory's file name (its base name is the key),
// else the version kept in its last seven bytes; status::kNoVersion when there is neither.
Status GetFileVersion(script::ScriptContext& context, const script::ScriptCommand& command);
// out = name: the 16-bit number at offset 69 of a data file's header; status::kNoVersion when the
// file cannot be opened or is shorter than the header.
Status Get4xDatVersion(script::ScriptContext& context, const script::ScriptCommand& command);

}  // namespace install

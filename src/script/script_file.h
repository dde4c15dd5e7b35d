#pragma once

#include <string>

#include "base/status.h"

namespace script {

// Reads a script, globals or INI file whole. status::kOpenFailed when it cannot be opened,
// kEmptyFile when it is empty, kNoMemory when there is no memory for it, kReadFailed when it cannot
// be read whole (text is then left empty).
Status ReadScriptFile(const std::string& path, std::string& text);

}  // namespace script

#pragma once

#include <string>

#include "base/status.h"

namespace script {

// Reads a script or globals file whole. 9 when it cannot be opened, 8 when it is empty, 1 when
// there is no memory for it, 11 when it cannot be read whole (text is then left empty).
Status ReadScriptFile(const std::string& path, std::string& text);

}  // namespace script

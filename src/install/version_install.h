#pragma once

#include <string>

#include "script/script_context.h"

namespace install {

// Lets the system's version installer install the package folder's file package_name as the work
// directory's destination_name, deciding by file version. True when the matter is settled: the
// file was installed, or the installed one is newer and stays. False when the installer declined
// for any other reason (in use, another language, code page or type, ...) or the system's version
// library cannot be loaded from the system folder, and the caller forces the copy. The temporary
// copy the installer leaves in the work directory when it declines is deleted.
bool InstallByVersion(const script::ScriptContext& context, const std::string& package_name,
                      const std::string& destination_name);

}  // namespace install

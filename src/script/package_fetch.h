#pragma once

#include <string>
#include <string_view>

#include "base/status.h"
#include "script/script_context.h"

namespace script {

// Fetches a file of the run's main set into the package folder with its CRC check, as every
// command that takes a file from the package does; path receives the fetched file's path (at most
// 259 characters). status::kExtractFailed when the run has no opened package; otherwise
// FetchPackageFile's status. opened as for FetchPackageFile.
Status FetchFromPackage(ScriptContext& context, std::string_view name, std::string& path,
                        platform::File* opened = nullptr);

}  // namespace script

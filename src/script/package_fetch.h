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

// Whether a fetch of name would extract it from the main set rather than take the package
// folder's file as it is: only then can DecodeFromPackage stand in for it.
bool DecodesFromPackage(ScriptContext& context, std::string_view name);

// Decodes name from the main set straight into into (open and empty) with the fetch's messages
// and CRC check, instead of into the package folder. package::DecodePackageFile's statuses;
// kExtractFailed also when the run has no opened package.
Status DecodeFromPackage(ScriptContext& context, std::string_view name, platform::File& into);

}  // namespace script

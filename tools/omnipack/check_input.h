#pragma once

// What omnipack check reads: the install script and the main set's files, from a folder that
// build would pack or from a finished installer.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "diagnostics.h"
#include "pack_entry.h"
#include "script_check.h"

namespace omnipack {

// The main-set files as build packs them (has_record as assigned); each is named by its path.
// An error when the folder holds no install script or it cannot be read.
std::optional<ToolError> PackageOfEntries(const std::string& folder,
                                          const std::vector<PackEntry>& entries,
                                          CheckedPackage& package);

// A main folder, every file with its directory record, as a build without --no-record makes it.
std::optional<ToolError> PackageOfFolder(const std::string& folder, CheckedPackage& package);

// An installer's main set and directory; its files are named "INSTALLER(NAME)". The set is copied
// out and its files are unpacked with the installer's own code as the check asks for them; keeper
// holds what that needs while package is in use.
std::optional<ToolError> PackageOfInstaller(const std::string& path, CheckedPackage& package,
                                            std::shared_ptr<void>& keeper);

}  // namespace omnipack

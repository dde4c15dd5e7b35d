#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/registry_key.h"

// Whole trees of registry keys. Both return the system's error code, ERROR_SUCCESS on success.
namespace system_commands {

// Deletes parent\path with every key below it. ERROR_BADKEY for an empty path: the parent itself
// is never deleted or emptied. A failure part-way leaves the keys already deleted deleted.
LSTATUS DeleteRegistryTree(HKEY parent, const std::string& path);

// Copies every subkey (recursively) and every value of source into destination; values with an
// empty name or no data are left out. The first error ends the copy.
LSTATUS CopyRegistryTree(const platform::RegistryKey& source,
                         const platform::RegistryKey& destination);

}  // namespace system_commands

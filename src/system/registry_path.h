#pragma once

#include <windows.h>

#include "script/registry_key_path.h"

namespace system_commands {

// The system's handle of a root key.
HKEY RootKey(script::RegistryRoot root);

}  // namespace system_commands

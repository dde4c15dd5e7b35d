#pragma once

#include "script/handler_table.h"

// The script commands of the system subsystem, one list per group; the Windows build adds them to
// the handler table.
namespace sys {

// FINDREGKEY, GETREGVALUE, SETREGVALUE, CREATEREGKEY, FINDREGVALUE, DELETEREGKEY,
// DELETEREGVALUE.
script::HandlerList RegistryCommandHandlers();
// CONFIGURESETTINGS.
script::HandlerList ScannerSettingsHandlers();

}  // namespace sys

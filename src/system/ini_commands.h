#pragma once

#include "script/handler_table.h"

// GETINIFILEVALUE and SETINIFILEVALUE, which read and write a product's INI file through the
// system's profile calls, and FINDINIFILEVALUE, which asks the installer's own reader. None of
// them takes a variable's value for the file, section or key.
namespace system_commands {

script::HandlerList IniCommandHandlers();

}  // namespace system_commands

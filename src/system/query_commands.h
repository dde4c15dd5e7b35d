#pragma once

#include "script/handler_table.h"

// The commands that ask the system where its folders are, which platform and processor it runs
// on and where the sibling command-line scanner is installed, each into the variable its argument
// names; and WAITFORTIME, which pauses. None of them changes the system.
namespace system_commands {

script::HandlerList QueryCommandHandlers();

}  // namespace system_commands

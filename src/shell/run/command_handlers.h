#pragma once

#include <vector>

#include "script/handler_table.h"

// The commands an installer of this build runs: the script layer's own everywhere, and in the
// Windows build the subsystems that act on the system (file installation now; registry and
// services add their lists here as they arrive).
namespace shell {

std::vector<script::HandlerList> CommandHandlerLists();

// The table of CommandHandlerLists(), made once.
const script::HandlerTable& CommandHandlers();

}  // namespace shell

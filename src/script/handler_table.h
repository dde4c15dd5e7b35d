#pragma once

#include <span>
#include <vector>

#include "script/command_table.h"
#include "script/script_context.h"

// The handler of every opcode, assembled from each subsystem's own list: the portable subsystems
// are always there, the Windows-only ones (file installation, registry, services) come through
// PlatformHandlerLists in the Windows build.
namespace script {

using HandlerList = std::span<const HandlerEntry>;

// The lists of the subsystems that only one platform builds; the native build has none.
std::vector<HandlerList> PlatformHandlerLists();

// Every list of this build: the portable ones, then PlatformHandlerLists().
std::vector<HandlerList> HandlerLists();

// The handler of an opcode; null when the opcode has none in this build (INCLUDEGLOBALS never
// has one).
CommandHandler FindHandler(Opcode opcode);

}  // namespace script

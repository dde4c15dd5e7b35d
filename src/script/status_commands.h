#pragma once

#include <span>

#include "script/script_context.h"

namespace script {

// SETFINALSTATUSFLAG, REPORTSTATUS and ISFORCESWITCHSET.
std::span<const HandlerEntry> StatusCommandHandlers();

}  // namespace script

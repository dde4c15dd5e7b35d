#pragma once

#include <span>

#include "script/script_context.h"

namespace logging {

// SETFINALSTATUSFLAG, REPORTSTATUS and ISFORCESWITCHSET.
std::span<const script::HandlerEntry> StatusCommandHandlers();

}  // namespace logging

#pragma once

#include <string>

#include "log/messages.h"
#include "script/list_items.h"
#include "script/script_context.h"

namespace system_commands {

using script::ListItems;

// Reports what a command does to one item: the progress text and a log line.
void ReportItem(script::ScriptContext& context, MessageId id, const std::string& item);

}  // namespace system_commands

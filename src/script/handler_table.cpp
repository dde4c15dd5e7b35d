#include "script/handler_table.h"

#include "script/flow_commands.h"
#include "script/status_commands.h"
#include "script/string_commands.h"

namespace script {

HandlerTable::HandlerTable(std::span<const HandlerList> lists) {
  for (const HandlerList list : lists) {
    for (const HandlerEntry& entry : list) {
      if (entry.opcode < handlers_.size())
        handlers_[entry.opcode] = entry.handler;
    }
  }
}

CommandHandler HandlerTable::Find(Opcode opcode) const {
  return opcode < handlers_.size() ? handlers_[opcode] : nullptr;
}

std::vector<HandlerList> ScriptHandlerLists() {
  return {FlowCommandHandlers(), StringCommandHandlers(), StatusCommandHandlers()};
}

}  // namespace script

#include "script/handler_table.h"

#include <array>

#include "log/status_commands.h"
#include "script/flow_commands.h"
#include "script/string_commands.h"

namespace script {
namespace {

// Opcodes are one byte; the table is indexed by opcode.
using HandlerArray = std::array<CommandHandler, 0x100>;

HandlerArray AssembleHandlers() {
  HandlerArray handlers{};
  for (const HandlerList list : HandlerLists()) {
    for (const HandlerEntry& entry : list) {
      if (entry.opcode < handlers.size())
        handlers[entry.opcode] = entry.handler;
    }
  }
  return handlers;
}

}  // namespace

std::vector<HandlerList> HandlerLists() {
  std::vector<HandlerList> lists = {FlowCommandHandlers(), StringCommandHandlers(),
                                    logging::StatusCommandHandlers()};
  for (const HandlerList list : PlatformHandlerLists())
    lists.push_back(list);
  return lists;
}

CommandHandler FindHandler(Opcode opcode) {
  static const HandlerArray handlers = AssembleHandlers();
  return opcode < handlers.size() ? handlers[opcode] : nullptr;
}

}  // namespace script

#pragma once

#include <array>
#include <span>
#include <vector>

#include "script/command_table.h"
#include "script/script_context.h"

// The handler of every opcode of one build. Each subsystem keeps its own list of handlers; the
// layer above them all (the shell) puts the lists of the subsystems its build has into one table,
// so the native build runs the commands it owns and the Windows build runs all of them.
namespace script {

using HandlerList = std::span<const HandlerEntry>;

class HandlerTable {
 public:
  explicit HandlerTable(std::span<const HandlerList> lists);

  // The handler of an opcode; null when the opcode has none in this table (INCLUDEGLOBALS never
  // has one).
  CommandHandler Find(Opcode opcode) const;

 private:
  // Opcodes are one byte; the table is indexed by opcode.
  std::array<CommandHandler, 0x100> handlers_{};
};

// The script layer's own lists: flow, string and status commands.
std::vector<HandlerList> ScriptHandlerLists();

}  // namespace script

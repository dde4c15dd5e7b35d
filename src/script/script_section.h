#pragma once

#include <cstdint>
#include <string>

#include "base/record_list.h"
#include "script/command_table.h"

namespace script {

struct ScriptCommand {
  Opcode opcode = 0;
  std::int32_t line = 0;  // the line on which the keyword stood
  std::string argument;   // trimmed, at most 259 characters
};

struct ScriptSection {
  std::string name;       // at most 50 characters
  std::int32_t line = 0;  // the line of its header
  base::RecordList<ScriptCommand> commands;
  bool stop = false;
};

}  // namespace script

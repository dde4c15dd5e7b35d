#pragma once

#include <cstdint>
#include <string>

#include "base/status.h"
#include "log/reporter.h"
#include "package/container.h"
#include "package/fetch.h"
#include "script/backup_journal.h"
#include "script/command_table.h"
#include "script/run_state.h"
#include "script/script_section.h"
#include "script/section_list.h"
#include "script/variables.h"

namespace script {

class HandlerTable;

// What a script run reaches outside itself.
struct ScriptEnvironment {
  Reporter& reporter;
  RunState& state;
  const HandlerTable& handlers;  // the commands this run can carry out
  // The main set the run fetches files from, and the package it came from (directory, flags).
  package::PackageFile* main_set = nullptr;
  const package::PackageDescriptor* descriptor = nullptr;
};

// The one record of a script run, handed to every command handler.
struct ScriptContext {
  explicit ScriptContext(ScriptEnvironment environment) : env(environment) {}

  SectionList sections;
  VariableTable variables;
  ScriptSection* current_section = nullptr;
  std::string work_directory;
  std::string package_folder;
  package::FetchedFiles fetched_files;  // fetched into the package folder in this run
  std::string backup_directory;
  BackupJournal backup_journal;     // the backups of this run, while it lasts
  std::int32_t line = 0;            // the line reached by the parser, or of the failing command
  std::int32_t command_status = 0;  // reset before every command; a secondary status
  std::string error_text;           // the unrecognised keyword of a failed parse
  int call_depth = 0;               // nesting of sections run by CALL, CONTINUEIF, INSTALLFILES
  std::uint32_t sections_run = 0;   // sections started in this run, however deep
  ScriptEnvironment env;
};

// Ends the section that is running without a failure (RETURN, an ended CONTINUEIF); a handler
// that fails goes through FailCommand.
inline void StopCurrentSection(ScriptContext& context) {
  if (context.current_section != nullptr)
    context.current_section->stop = true;
}

// How a handler fails: it stops the section that is running and returns the status.
inline Status FailCommand(ScriptContext& context, Status status) {
  StopCurrentSection(context);
  return status;
}

// A handler's last step, whose status is the command's: a failure fails the command as
// FailCommand does, success passes.
inline Status FinishCommand(ScriptContext& context, Status status) {
  return status == status::kOk ? status : FailCommand(context, status);
}

// Every command is one handler.
using CommandHandler = Status (*)(ScriptContext& context, const ScriptCommand& command);
struct HandlerEntry {
  Opcode opcode;
  CommandHandler handler;
};

}  // namespace script

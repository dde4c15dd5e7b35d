#include "script/interpreter.h"

#include <new>
#include <string>
#include <string_view>

#include "log/reporter.h"
#include "script/handler_table.h"
#include "script/include_globals.h"
#include "script/main_outcome.h"
#include "script/script_parser.h"

namespace script {
namespace {

constexpr std::string_view kMainSection = "Main";
constexpr std::string_view kLoadSection = "ThisPackage";

bool InstallFilesMayRun(const ScriptCommand& command) {
  return command.opcode == opcode::kFile || command.opcode == opcode::kCopyFileAs;
}

Status RunHandler(ScriptContext& context, const ScriptCommand& command) {
  context.command_status = 0;
  if (context.current_section != nullptr)
    context.current_section->stop = false;
  const CommandHandler handler = context.env.handlers.Find(command.opcode);
  if (handler == nullptr)
    return status::kUnknownCommand;
  // Every command is a boundary for memory exhaustion: it ends the command, not the run.
  try {
    return handler(context, command);
  } catch (const std::bad_alloc&) {
    return FailCommand(context, status::kNoMemory);
  }
}

// "[Main] line 12: REPLACEFILE returned 35", so that the log alone shows what failed where, also
// when a later command's success outweighs it in the run's status.
void LogFailure(ScriptContext& context, const ScriptCommand& command, Status result) {
  std::string where;
  if (context.current_section != nullptr)
    where = "[" + context.current_section->name + "] ";
  context.env.reporter.LogMessage(message::kCommandFailed,
                                  where + "line " + std::to_string(command.line) + ": " +
                                      std::string(KeywordOf(command.opcode)) + " returned " +
                                      std::to_string(result));
}

}  // namespace

Status RunThisPackage(ScriptContext& context) {
  ScriptSection* section = context.sections.Find(kLoadSection);
  if (section == nullptr)
    return status::kOk;
  context.current_section = section;
  for (const ScriptCommand& command : section->commands) {
    const Status result = command.opcode == opcode::kIncludeGlobals
                              ? IncludeGlobals(context, command)
                              : DispatchCommand(context, command);
    if (result != status::kOk)
      return result;
  }
  return status::kOk;
}

Status RunMain(ScriptContext& context) {
  ScriptSection* main = context.sections.Find(kMainSection);
  if (main == nullptr)
    return status::kMainNotFound;
  context.current_section = main;
  context.env.reporter.ReportProgress(message::kSearchingProducts, {});
  context.env.reporter.LogMessage(message::kSearchingProducts, {});

  MainOutcome outcome;
  for (const ScriptCommand& command : main->commands) {
    const Status result = DispatchCommand(context, command);
    outcome.Record(result, context.env.state.final_status_word);  // the word the command left
  }
  return outcome.Finish(context.env.state.final_status_word);
}

Status DispatchCommand(ScriptContext& context, const ScriptCommand& command) {
  const Status result = RunHandler(context, command);
  if (result != status::kOk)
    LogFailure(context, command, result);
  return result;
}

Status RunSection(ScriptContext& context, const ScriptCommand& calling) {
  ScriptSection* target = context.sections.Find(calling.argument);
  if (target == nullptr)
    return FailCommand(context, status::kSectionNotFound);
  if (context.call_depth >= kMaxSectionDepth || context.sections_run >= kMaxSectionRuns) {
    context.env.reporter.LogMessage(message::kSectionsNestedTooDeep, target->name);
    return FailCommand(context, kRunawaySections);
  }

  ++context.sections_run;
  target->stop = false;
  ScriptSection* const caller = context.current_section;
  context.current_section = target;
  ++context.call_depth;
  Status result = status::kOk;
  for (const ScriptCommand& command : target->commands) {
    if (calling.opcode == opcode::kInstallFiles && !InstallFilesMayRun(command))
      result = status::kNotFileCommand;
    else
      result = DispatchCommand(context, command);
    if (result != status::kOk || target->stop)
      break;
  }
  --context.call_depth;
  context.current_section = caller;

  // A CONTINUEIF whose section was ended ends its caller too.
  if (calling.opcode == opcode::kContinueIf && target->stop)
    StopCurrentSection(context);
  return FinishCommand(context, result);
}

}  // namespace script

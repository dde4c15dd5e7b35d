#include "script/include_globals.h"

#include <optional>
#include <string>
#include <string_view>

#include "base/path.h"
#include "log/reporter.h"
#include "script/interpreter.h"
#include "script/package_fetch.h"
#include "script/script_file.h"
#include "script/script_parser.h"
#include "script/values.h"

namespace script {
namespace {

std::optional<Opcode> OnlySet(std::string_view keyword) {
  if (keyword == "SET")
    return opcode::kSet;
  return std::nullopt;
}

}  // namespace

Status ReadGlobalsText(std::string_view text, std::int32_t line, std::string& error_text,
                       const GlobalsLine& each, std::size_t* failed_offset) {
  text = text.substr(0, text.find('\0'));  // the text ends at its first NUL, as a script does
  ScriptCommand command;                   // one record, reused for every line
  command.line = line;
  bool comment = false;
  for (std::size_t position = 0; position < text.size(); ++position) {
    const char c = text[position];
    if (c == '\n') {
      comment = false;
      continue;
    }
    if (comment || c == ' ' || c == '\t' || c == '\r')
      continue;
    if (c == ';') {
      comment = true;
      continue;
    }
    const std::size_t start = position;
    Status result = ReadCommandLine(text, position, OnlySet, command, error_text);
    if (result == status::kOk)
      result = each(command, start);
    if (result != status::kOk) {
      if (failed_offset != nullptr)
        *failed_offset = start;
      return result;
    }
  }
  return status::kOk;
}

Status IncludeGlobals(ScriptContext& context, const ScriptCommand& command) {
  std::string name = command.argument;
  TrimBlanks(name);
  std::string path;
  Status result = FetchFromPackage(context, name, path);
  if (result != status::kOk)
    return result;
  context.env.reporter.ReportProgress(message::kLoadingGlobals, name);
  context.env.reporter.LogMessage(message::kLoadingGlobals, name);

  std::string text;
  result = ReadScriptFile(path, text);
  if (result != status::kOk)
    return result;
  context.line = command.line;
  return ReadGlobalsText(
      text, command.line, context.error_text,
      [&context](const ScriptCommand& set, std::size_t) { return DispatchCommand(context, set); });
}

}  // namespace script

#include "script/script_loader.h"

#include <new>

#include "log/messages.h"
#include "script/script_file.h"
#include "script/script_parser.h"
#include "script/values.h"

namespace script {
namespace {

Status Load(ScriptContext& context, const std::string& script_path,
            std::string_view package_folder) {
  if (Status status = SetTruthVariable(context, "g_NoChange", context.env.state.no_change))
    return status;
  context.package_folder.assign(CutToCapacity(package_folder, kValueCapacity));
  context.env.reporter.ReportProgress(message::kLoadingScript, script_path);
  context.env.reporter.LogMessage(message::kLoadingScript, script_path);

  std::string text;
  if (Status status = ReadScriptFile(script_path, text))
    return status;
  if (Status status = ParseScript(context, text))
    return status;
  if (context.sections.Find("Main") == nullptr)
    return status::kMainNotFound;
  return status::kOk;
}

}  // namespace

LoadedScript LoadScript(const std::string& script_path, std::string_view package_folder,
                        ScriptEnvironment environment) {
  LoadedScript loaded;
  try {
    loaded.context = std::make_unique<ScriptContext>(environment);
    loaded.status = Load(*loaded.context, script_path, package_folder);
  } catch (const std::bad_alloc&) {
    loaded.status = status::kNoMemory;
  }
  return loaded;
}

RunReport TakeRunReport(const ScriptContext* context, std::size_t error_capacity) {
  RunReport report;
  if (context != nullptr) {
    report.line = context->line;
    report.error_text.assign(CutToCapacity(context->error_text, error_capacity));
  }
  return report;
}

}  // namespace script

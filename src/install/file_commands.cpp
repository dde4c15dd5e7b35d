#include <array>
#include <optional>
#include <string>

#include "base/path.h"
#include "install/file_probes.h"
#include "install/file_versions.h"
#include "install/handlers.h"
#include "install/repair_cache.h"
#include "install/work_path.h"
#include "platform/filesystem.h"
#include "platform/system.h"
#include "script/list_items.h"
#include "script/package_fetch.h"
#include "script/values.h"
#include "script/variables.h"

// The file commands that act on single files outside the installing commands.
namespace install {
namespace {

using script::ScriptCommand;
using script::ScriptContext;

// A failed deletion is only noted in the command status: the script goes on.
Status DeleteNamedFile(ScriptContext& context, const ScriptCommand& command) {
  std::string name = command.argument;
  script::TrimBlanks(name);
  script::ResolveOperand(context, name, script::kValueCapacity);
  const std::string path = WorkPath(context, name);
  context.env.reporter.LogMessage(message::kDeleting, path.empty() ? name : path);
  if (!platform::RemoveFile(path)) {
    context.command_status = status::kDeleteFailed;
    context.env.reporter.LogMessage(message::kDeleteFailed, {});
  }
  return status::kOk;
}

// Fetches each listed file into the package folder; the first that fails ends the list, and so
// does an empty item.
Status ExtractFileSet(ScriptContext& context, const ScriptCommand& command) {
  script::ListItems items(command.argument);
  std::string fetched;
  for (std::optional<std::string_view> item = items.Next(); item; item = items.Next()) {
    const Status result = script::FetchFromPackage(context, *item, fetched);
    if (result != status::kOk)
      return script::FailCommand(context, result);
  }
  return status::kOk;
}

Status CloneSelf(ScriptContext& context, const ScriptCommand&) {
  return script::FinishCommand(context, CloneIntoRepairCache(context, platform::OwnProgramPath()));
}

constexpr std::array<script::HandlerEntry, 10> kHandlers = {{
    {script::opcode::kDeleteFile, DeleteNamedFile},
    {script::opcode::kFileExists, FileExists},
    {script::opcode::kIsCurrentFileOlder, IsCurrentFileOlder},
    {script::opcode::kIsFileLocked, IsFileLocked},
    {script::opcode::kWaitTillUnlocked, WaitTillUnlocked},
    {script::opcode::kCanAllFilesBeCopied, CanAllFilesBeCopied},
    {script::opcode::kGetFileVersion, GetFileVersion},
    {script::opcode::kGet4xDatVersion, Get4xDatVersion},
    {script::opcode::kExtractFileSet, ExtractFileSet},
    {script::opcode::kCloneSelf, CloneSelf},
}};

}  // namespace

script::HandlerList FileCommandHandlers() {
  return kHandlers;
}

}  // namespace install

#include <string>
#include <string_view>

#include "base/path.h"
#include "install/copy_engine.h"
#include "install/handlers.h"
#include "install/work_path.h"
#include "install/write_test.h"
#include "log/folder_chain.h"
#include "platform/filesystem.h"
#include "platform/win32/file_moves.h"
#include "script/values.h"

// The commands that set up or move files around the installation without the package.
namespace install {
namespace {

using script::ScriptCommand;
using script::ScriptContext;

// out = sub: the backup directory becomes sub (a variable's value or the text itself), taken in
// the work directory of this moment unless it is absolute. It is replaced before it is checked, so
// that after a failure later backups fail too rather than go to an earlier folder.
Status SetBackupDir(ScriptContext& context, const ScriptCommand& command) {
  std::string name;
  std::string folder;
  const Status split = script::SplitAssignment(command.argument, name, script::kValueCapacity,
                                               folder, script::kValueCapacity);
  if (split != status::kOk)
    return script::FailCommand(context, split);
  script::ResolveOperand(context, folder, script::kValueCapacity);
  const std::string backup = WorkPath(context, folder);
  context.backup_directory = backup;
  if (backup.empty())
    return script::FailCommand(context, status::kBackupFailed);
  if (!logging::MakeFolderChain(backup) || !PassesWriteTest(backup))
    return script::FailCommand(context, status::kBackupFailed);
  const Status stored = script::SetVariable(context, name, backup);
  return script::FinishCommand(context, stored);
}

// Copies the work directory's file name into target and deletes the original once the copy
// succeeded. status::kWriteFailed when the name is a device's.
Status MoveOneFile(ScriptContext& context, const std::string& target, const std::string& name) {
  if (RefuseDevicePath(context, name))
    return status::kWriteFailed;
  const std::string source = WorkPath(context, name);
  std::string destination = target;
  if (source.empty() || !base::JoinPath(destination, base::kPathCapacity, name))
    return status::kOpenFailed;
  const Status copied = CopyIntoPlace(context, destination, source);
  if (copied == status::kOk)
    platform::RemoveFile(source);
  return copied;
}

// folder = a, b, ...: moves the named files from the work directory into the folder that the
// variable names (in the work directory unless absolute). An empty name ends the list; a file that
// fails does not stop the others. The section goes on whatever happens.
Status MoveFiles(ScriptContext& context, const ScriptCommand& command) {
  const std::string_view argument = command.argument;
  std::string variable;
  std::size_t cursor = script::NextItem(argument, 0, variable, script::kValueCapacity, '=')
                           .value_or(argument.size());
  std::string value;
  const Status found = script::GetVariable(context, variable, value, script::kValueCapacity);
  if (found != status::kOk)
    return found;
  const std::string target = WorkPath(context, value);
  if (target.empty() || !logging::MakeFolderChain(target))
    return status::kOk;
  Status last = status::kOk;
  std::string name;
  while (const auto next = script::NextItem(argument, cursor, name, script::kValueCapacity, ',')) {
    if (name.empty())
      break;
    cursor = *next;
    last = MoveOneFile(context, target, name);
  }
  return last;
}

// old = new within the work directory, replacing a file of the new name; status::kWriteFailed
// when either name is empty or a device. The section goes on whatever happens.
Status RenameFile(ScriptContext& context, const ScriptCommand& command) {
  if (context.work_directory.empty())
    return status::kWorkDirFailed;
  std::string old_name;
  std::string new_name;
  const Status split = script::SplitAssignment(command.argument, old_name, script::kValueCapacity,
                                               new_name, script::kValueCapacity);
  if (split != status::kOk)
    return split;
  if (RefuseDevicePath(context, old_name) || RefuseDevicePath(context, new_name))
    return status::kWriteFailed;
  // An empty name names nothing: the work directory itself is never one end of the move.
  const std::string from = WorkPath(context, old_name);
  const std::string to = WorkPath(context, new_name);
  if (from.empty() || to.empty())
    return status::kWriteFailed;
  return platform::RenameNow(from, to, true) ? status::kOk : status::kWriteFailed;
}

constexpr script::HandlerEntry kHandlers[] = {
    {script::opcode::kSetBackupDir, SetBackupDir},
    {script::opcode::kMoveFiles, MoveFiles},
    {script::opcode::kRenameFile, RenameFile},
};

}  // namespace

script::HandlerList MoveCommandHandlers() {
  return kHandlers;
}

}  // namespace install

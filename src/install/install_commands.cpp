#include <array>
#include <optional>
#include <string>

#include "base/path.h"
#include "install/copy_engine.h"
#include "install/handlers.h"
#include "install/restart_replace.h"
#include "install/version_install.h"
#include "install/work_path.h"
#include "install/write_test.h"
#include "log/folder_chain.h"
#include "log/messages.h"
#include "platform/filesystem.h"
#include "script/interpreter.h"
#include "script/package_fetch.h"
#include "script/values.h"
#include "script/variables.h"

namespace install {
namespace {

using script::ScriptCommand;
using script::ScriptContext;

// Every installing command ends here: a success clears the final-status word.
Status Finish(ScriptContext& context, Status result) {
  if (result != status::kOk)
    return script::FailCommand(context, result);
  context.env.state.final_status_word = 0;
  return status::kOk;
}

// What an installing command has in hand before it places its file.
struct Placement {
  std::string package_name;
  std::string destination_name;
  std::string source;          // the fetched file in the package folder
  platform::File source_file;  // that file, still open when it was extracted just now
  std::string destination;     // destination_name in the work directory
};

// FILE and REPLACEFILE install a file under its package name; COPYFILEAS and REPLACEFILEAS take
// "package name = destination name".
Status TakeNames(const ScriptCommand& command, Placement& placement) {
  if (command.opcode == script::opcode::kFile || command.opcode == script::opcode::kReplaceFile) {
    placement.package_name = command.argument;
    script::TrimBlanks(placement.package_name);
    placement.destination_name = placement.package_name;
    return status::kOk;
  }
  return script::SplitAssignment(command.argument, placement.package_name, base::kPathCapacity,
                                 placement.destination_name, base::kPathCapacity);
}

// The destination in the work directory. A destination path that does not fit is no place in the
// work directory (status::kWorkDirFailed); one that names a device fails with kWriteFailed.
Status BuildDestination(ScriptContext& context, Placement& placement) {
  placement.destination = context.work_directory;
  if (!base::JoinPath(placement.destination, base::kPathCapacity, placement.destination_name))
    return status::kWorkDirFailed;
  if (RefuseDevicePath(context, placement.destination))
    return status::kWriteFailed;
  return status::kOk;
}

// The steps every installing command starts with: the work directory must be set, the file is
// fetched from the package into the package folder, and the destination is built.
Status Prepare(ScriptContext& context, const ScriptCommand& command, Placement& placement) {
  if (context.work_directory.empty())
    return status::kWorkDirFailed;
  Status result = TakeNames(command, placement);
  if (result == status::kOk)
    result = script::FetchFromPackage(context, placement.package_name, placement.source,
                                      &placement.source_file);
  return result == status::kOk ? BuildDestination(context, placement) : result;
}

// The complete new file of a destination that cannot be replaced now waits beside it for the
// restart, and so does every later file of the run.
Status StageForRestart(ScriptContext& context, const std::string& destination,
                       const Replacement& replacement) {
  LeaveForRestart(context);
  std::string staged = replacement.content_path();
  return ScheduleReplaceOnReboot(context, destination, staged);
}

// FILE and COPYFILEAS in direct-copy mode, for a file extracted now: the entry is decoded straight
// into the new file beside its destination, which takes the destination's place once its CRC has
// matched; the package folder is not written. The messages and statuses are those of the way
// through the package folder. None when this way does not apply (the file is taken from the
// package folder, the destination is no plain file of the work directory, or no file can be made
// beside it): the command then goes that way.
std::optional<Status> DecodeIntoPlace(ScriptContext& context, const ScriptCommand& command) {
  Placement placement;
  if (!context.env.state.direct_copy_mode || context.work_directory.empty() ||
      TakeNames(command, placement) != status::kOk ||
      !script::DecodesFromPackage(context, placement.package_name)) {
    return std::nullopt;
  }
  const std::string& destination = placement.destination = context.work_directory;
  if (!base::JoinPath(placement.destination, base::kPathCapacity, placement.destination_name) ||
      base::NamesDevice(destination)) {
    return std::nullopt;
  }
  Replacement replacement(destination);
  if (!replacement.Ready())
    return std::nullopt;
  if (const Status decoded =
          script::DecodeFromPackage(context, placement.package_name, replacement.content());
      decoded != status::kOk) {
    return decoded;
  }
  const platform::FileTimes times = replacement.content().Times().value_or(platform::FileTimes{});
  // A new file needs neither a look at the old one nor a backup.
  if (replacement.PlaceIfAbsent(times)) {
    ReportReplacing(context, destination);
    return status::kOk;
  }
  if (!replacement.OpenOld()) {
    // In use: backed up as it is, and the decoded file staged for the restart.
    if (const Status backed_up = BackupFile(context, destination); backed_up != status::kOk)
      return backed_up;
    return StageForRestart(context, destination, replacement);
  }
  if (const Status backed_up = replacement.BackUp(context); backed_up != status::kOk)
    return backed_up;
  ReportReplacing(context, destination);
  const Status placed = replacement.Complete(context, times);
  // Taken by another program after all: staged as well.
  return placed == status::kNoRun ? StageForRestart(context, destination, replacement) : placed;
}

// SETWORKDIR variable[,CREATE]: the variable's value, without enclosing double quotes, becomes
// the work directory; with CREATE (upper case only) its folders are made and must take files.
Status SetWorkDir(ScriptContext& context, const ScriptCommand& command) {
  std::string name;
  const std::optional<std::size_t> rest =
      script::NextItem(command.argument, 0, name, script::kValueCapacity, ',');
  std::string value;
  const Status found = script::GetVariable(context, name, value, base::kPathCapacity);
  if (found != status::kOk)
    return script::FailCommand(context, found);
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
    value = value.substr(1, value.size() - 2);
  context.work_directory = value;

  std::string option = rest ? command.argument.substr(*rest) : std::string();
  script::TrimBlanks(option);
  const bool create = option == "CREATE";
  // Without CREATE an empty work directory is accepted; the file commands then fail with
  // status::kWorkDirFailed.
  if (context.work_directory.empty())
    return create ? script::FailCommand(context, status::kWorkDirFailed) : status::kOk;
  if (create && (!logging::MakeFolderChain(context.work_directory) ||
                 !PassesWriteTest(context.work_directory))) {
    return script::FailCommand(context, status::kWorkDirFailed);
  }
  return status::kOk;
}

// INSTALLFILES section: runs a section of FILE and COPYFILEAS lines.
Status InstallFiles(ScriptContext& context, const ScriptCommand& command) {
  context.env.reporter.ReportProgress(message::kInstallingModule, {});
  context.env.reporter.LogMessage(message::kInstallingModule, {});
  return script::RunSection(context, command);
}

// FILE name and COPYFILEAS package = destination: the package file replaces the destination,
// which is backed up first, or becomes it.
Status InstallFile(ScriptContext& context, const ScriptCommand& command) {
  if (const std::optional<Status> placed = DecodeIntoPlace(context, command))
    return Finish(context, *placed);
  Placement placement;
  Status result = Prepare(context, command, placement);
  if (result != status::kOk)
    return Finish(context, result);
  return Finish(context, BackUpAndPlace(context, placement.destination, placement.source,
                                        placement.source_file));
}

// REPLACEFILE name and REPLACEFILEAS package = destination: the system's version installer
// decides first; when it declines for another reason than a newer installed file, the copy is
// forced.
Status ReplaceFile(ScriptContext& context, const ScriptCommand& command) {
  Placement placement;
  const Status prepared = Prepare(context, command, placement);
  if (prepared != status::kOk)
    return Finish(context, prepared);
  placement.source_file.Close();  // the version installer reads it by its name
  const Status backed_up = BackupFile(context, placement.destination);
  if (InstallByVersion(context, placement.package_name, placement.destination_name))
    return Finish(context, status::kOk);
  // A file that could not be backed up is not forced over.
  if (backed_up != status::kOk)
    return Finish(context, backed_up);
  if (context.env.state.direct_copy_mode)
    ClearDestination(placement.destination);
  return Finish(context, PlaceFile(context, placement.destination, placement.source));
}

constexpr std::array<script::HandlerEntry, 6> kHandlers = {{
    {script::opcode::kSetWorkDir, SetWorkDir},
    {script::opcode::kInstallFiles, InstallFiles},
    {script::opcode::kFile, InstallFile},
    {script::opcode::kCopyFileAs, InstallFile},
    {script::opcode::kReplaceFile, ReplaceFile},
    {script::opcode::kReplaceFileAs, ReplaceFile},
}};

}  // namespace

script::HandlerList InstallCommandHandlers() {
  return kHandlers;
}

}  // namespace install

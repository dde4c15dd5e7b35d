#include <string>

#include "base/ascii_case.h"
#include "install/folder_removal.h"
#include "install/handlers.h"
#include "install/protected_folders.h"
#include "install/work_path.h"
#include "log/messages.h"
#include "script/values.h"
#include "script/variables.h"

namespace install {
namespace {

// DELETEDIRECTORY folder[,TRUE]: with TRUE the whole tree goes, without it only the files that lie
// directly in the folder. An incomplete removal is logged; it never stops the section. A folder
// of the system is refused before anything is touched, and that does stop it.
Status DeleteDirectory(script::ScriptContext& context, const script::ScriptCommand& command) {
  std::string name;
  std::string whole_tree;
  const auto cursor = script::NextItem(command.argument, 0, name, script::kValueCapacity, ',');
  if (cursor)
    script::NextItem(command.argument, *cursor, whole_tree, script::kValueCapacity, ',');
  script::ResolveOperand(context, name, script::kValueCapacity);
  std::string folder = WorkPath(context, name);
  if (folder.empty())
    return status::kOk;  // no such folder: nothing to remove
  if (IsProtectedFolder(folder)) {
    context.env.reporter.LogMessage(message::kSystemFolderRefused, folder);
    return script::FailCommand(context, status::kDeleteFailed);
  }
  const bool recurse = base::EqualsIgnoringCase(whole_tree, "TRUE");
  if (!RemoveFolderTree(folder, recurse, recurse ? kRemoveFiles | kRemoveFolders : kRemoveFiles))
    context.env.reporter.LogMessage(message::kFolderDeleteFailed, {});
  return status::kOk;
}

constexpr script::HandlerEntry kHandlers[] = {
    {script::opcode::kDeleteDirectory, DeleteDirectory},
};

}  // namespace

script::HandlerList FolderCommandHandlers() {
  return kHandlers;
}

}  // namespace install

#include "script/argument_forms.h"

#include "base/path.h"
#include "script/flow_commands.h"
#include "script/list_items.h"
#include "script/registry_arguments.h"
#include "script/values.h"

namespace script {
namespace {

// The first item of a comma-separated argument, and the second when there is one; either is empty
// when absent.
std::pair<std::string_view, std::string_view> FirstTwoItems(std::string_view argument) {
  std::pair<std::string_view, std::string_view> items;
  const std::optional<std::size_t> cursor = NextItem(argument, 0, items.first, kValueCapacity, ',');
  if (cursor)
    NextItem(argument, *cursor, items.second, kValueCapacity, ',');
  return items;
}

// "out = in" into a variable: SET, ISFILELOCKED, ISAPPRUNNING, ...; the status of the split.
Status ReadAssignment(std::string_view argument, std::size_t capacity, std::string_view& left,
                      std::string_view& right) {
  return SplitAssignment(argument, left, capacity, right, capacity);
}

void ReadStoringAssignment(std::string_view argument, CommandArguments& read) {
  std::string_view left, right;
  read.form_status = ReadAssignment(argument, kValueCapacity, left, right);
  if (read.form_status == status::kOk)
    read.sets = left;
}

void ReadConditions(std::string_view argument, CommandArguments& read) {
  std::string_view condition;
  for (std::optional<std::size_t> cursor = NextItem(argument, 0, condition, kValueCapacity, '|');
       cursor && !condition.empty();
       cursor = NextItem(argument, *cursor, condition, kValueCapacity, '|')) {
    std::string_view left, op, right;
    read.form_status = ParseComparison(condition, left, op, right);
    if (read.form_status != status::kOk)
      return;
  }
}

void ReadRegistryCommand(Opcode opcode, std::string_view argument, CommandArguments& read) {
  if (opcode == opcode::kGetRegValue || opcode == opcode::kFindRegValue) {
    ValueQuery query;
    read.form_status = SplitValueQuery(argument, query);
    if (read.form_status == status::kOk) {
      read.sets = query.variable;
      read.names_root_key = NamesRootKey(query.key);
    }
    return;
  }
  if (opcode == opcode::kSetRegValue) {
    ValueAssignment assignment;
    read.form_status = SplitValueAssignment(argument, assignment);
    if (read.form_status == status::kOk) {
      read.needs = assignment.value_variable;
      read.names_root_key = NamesRootKey(assignment.key);
    }
    return;
  }
  // FINDREGKEY takes the whole text as its key; the others its first item.
  const auto [first, second] = FirstTwoItems(argument);
  const std::optional<RegistryPath> key =
      ParseRegistryPath(opcode == opcode::kFindRegKey ? argument : first);
  read.names_root_key = key && NamesRootKey(*key);
  if (opcode == opcode::kFindRegKey || opcode == opcode::kCreateRegKey) {
    if (!key)
      read.form_status = status::kNoRegistryRoot;
    else if (opcode == opcode::kCreateRegKey && second.empty())
      read.form_status = status::kSubkeyNotFound;
  }
}

void ReadModuleCommand(Opcode opcode, std::string_view argument, CommandArguments& read) {
  const ModuleArgument module = SplitModuleArgument(argument);
  if (module.Complete())
    read.sets = module.result;
  else if (opcode == opcode::kUnloadModule)
    read.form_status = status::kUnknownCommand;
  else
    read.needs = module.module_variable;  // its status is then the command's
}

void ReadAppendCommand(std::string_view argument, CommandArguments& read) {
  const AppendParts parts = SplitAppendArgument(argument);
  if (parts.Complete())
    read.sets = parts.var;
  else
    read.form_status = status::kUnknownCommand;
}

void ReadFileCommand(Opcode opcode, std::string_view argument, CommandArguments& read) {
  if (opcode == opcode::kFile || opcode == opcode::kReplaceFile) {
    read.package_files = ArgumentNames::One(TrimmedView(argument));
    return;
  }
  std::string_view package_name, destination;
  read.form_status = ReadAssignment(argument, base::kPathCapacity, package_name, destination);
  if (read.form_status == status::kOk)
    read.package_files = ArgumentNames::One(package_name);
}

}  // namespace

AppendParts SplitAppendArgument(std::string_view argument) {
  const std::string_view text = TrimmedView(argument);
  AppendParts parts;
  std::optional<std::size_t> cursor = NextItem(text, 0, parts.var, kValueCapacity, '=');
  if (cursor)
    cursor = NextItem(text, *cursor, parts.first, kLongValueCapacity, ',');
  if (cursor)
    NextItem(text, *cursor, parts.second, kValueCapacity, ',');
  return parts;
}

ModuleArgument SplitModuleArgument(std::string_view argument) {
  ModuleArgument module;
  std::optional<std::size_t> cursor = NextItem(argument, 0, module.result, kValueCapacity, '=');
  if (cursor)
    cursor = NextItem(argument, *cursor, module.product, kValueCapacity, ',');
  if (cursor)
    NextItem(argument, *cursor, module.module_variable, kValueCapacity, ',');
  return module;
}

CommandArguments ReadArguments(Opcode opcode, std::string_view argument) {
  CommandArguments read;
  switch (opcode) {
    case opcode::kCall:
    case opcode::kContinueIf:
    case opcode::kInstallFiles:
      read.section = argument;
      break;
    case opcode::kReturn:
      ReadConditions(argument, read);
      break;
    case opcode::kSet:
    case opcode::kSetBackupDir: {
      std::string_view name, value;
      read.form_status = ReadAssignment(argument, kValueCapacity, name, value);
      if (read.form_status == status::kOk) {
        read.sets = name;
        read.operand = value;
      }
      break;
    }
    case opcode::kSetFinalStatusFlag:
    case opcode::kIsValidFilter:
    case opcode::kFileExists:
    case opcode::kIsCurrentFileOlder:
    case opcode::kIsFileLocked:
    case opcode::kGet4xDatVersion:
    case opcode::kIsServiceRunning:
    case opcode::kIsAppRunning:
      ReadStoringAssignment(argument, read);
      break;
    case opcode::kGetFileVersion:
      ReadStoringAssignment(argument, read);
      if (read.form_status != status::kOk)
        read.form_status = status::kNoVersion;
      break;
    case opcode::kRenameFile: {
      std::string_view old_name, new_name;
      read.form_status = ReadAssignment(argument, kValueCapacity, old_name, new_name);
      break;
    }
    case opcode::kGetSystemDir:
    case opcode::kGetDriverDir:
    case opcode::kGetWindowsDir:
    case opcode::kGetOsType:
    case opcode::kGetProcessorType:
    case opcode::kGetScanUtilsPath:
    case opcode::kIsTrayMonRunning:
    case opcode::kIsForceSwitchSet:
      read.sets = TrimmedView(argument);
      break;
    case opcode::kNameStripFile:
      read.needs = TrimmedView(argument);
      read.sets = read.needs;
      break;
    case opcode::kCanAllFilesBeCopied:
      if (const std::size_t equals = argument.find('='); equals != std::string_view::npos)
        read.sets = TrimmedView(argument.substr(0, equals));
      break;
    case opcode::kStringAppend:
    case opcode::kNameAppendFile:
      ReadAppendCommand(argument, read);
      break;
    case opcode::kGetIniFileValue:
    case opcode::kFindIniFileValue: {
      std::string_view var, file, section, key;
      read.form_status = SplitAssignmentList(argument, var, kValueCapacity, file, kValueCapacity,
                                             section, kValueCapacity, key, kValueCapacity);
      if (read.form_status == status::kOk)
        read.sets = var;
      break;
    }
    case opcode::kSetIniFileValue: {
      std::string_view file, section, key, var;
      read.form_status =
          SplitListAssignment(argument, file, kValueCapacity, section, kValueCapacity, key,
                              kValueCapacity, var, kValueCapacity);
      if (read.form_status == status::kOk)
        read.needs = var;
      break;
    }
    case opcode::kSetWorkDir:
    case opcode::kMoveFiles: {
      std::string_view variable;
      NextItem(argument, 0, variable, kValueCapacity, opcode == opcode::kSetWorkDir ? ',' : '=');
      read.needs = variable;
      break;
    }
    case opcode::kDeleteDirectory:
      read.operand = FirstTwoItems(argument).first;
      break;
    case opcode::kDeleteFile:
    case opcode::kWaitForTime:
      read.operand = TrimmedView(argument);
      break;
    case opcode::kFile:
    case opcode::kCopyFileAs:
    case opcode::kReplaceFile:
    case opcode::kReplaceFileAs:
      ReadFileCommand(opcode, argument, read);
      break;
    case opcode::kIncludeGlobals:
      read.package_files = ArgumentNames::One(TrimmedView(argument));
      break;
    case opcode::kExtractFileSet:
      read.package_files = ArgumentNames::List(argument);
      break;
    case opcode::kStartOrqApps:
      read.programs = ArgumentNames::List(argument);
      break;
    case opcode::kFindRegKey:
    case opcode::kGetRegValue:
    case opcode::kSetRegValue:
    case opcode::kCreateRegKey:
    case opcode::kFindRegValue:
    case opcode::kDeleteRegKey:
    case opcode::kDeleteRegValue:
      ReadRegistryCommand(opcode, argument, read);
      break;
    case opcode::kLoadModule:
    case opcode::kUnloadModule:
      ReadModuleCommand(opcode, argument, read);
      break;
    default:
      break;  // the text is not read, or read whatever it holds
  }
  return read;
}

}  // namespace script

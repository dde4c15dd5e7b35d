#include <windows.h>

#include <array>
#include <optional>
#include <string>

#include "base/ascii_case.h"
#include "log/messages.h"
#include "platform/win32/registry_key.h"
#include "script/registry_arguments.h"
#include "script/values.h"
#include "script/variables.h"
#include "system/handlers.h"
#include "system/registry_path.h"
#include "system/registry_tree.h"
#include "system/registry_value.h"

namespace system_commands {
namespace {

using platform::RegistryKey;
using script::FailCommand;
using script::FinishCommand;
using script::ParseRegistryPath;
using script::RegistryPath;
using script::ScriptCommand;
using script::ScriptContext;

// Read access with the rights to write values and make subkeys (SETREGVALUE).
constexpr REGSAM kReadWriteAccess = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

RegistryKey OpenKey(const RegistryPath& path, REGSAM access) {
  return RegistryKey::Open(RootKey(path.root), path.subkey.c_str(), access);
}

// The first and second comma-separated items of the argument; either is empty when absent.
struct TwoItems {
  std::string first;
  std::string second;
};
TwoItems SplitItems(const std::string& argument) {
  TwoItems items;
  const std::optional<std::size_t> cursor =
      script::NextItem(argument, 0, items.first, script::kValueCapacity, ',');
  if (cursor)
    script::NextItem(argument, *cursor, items.second, script::kValueCapacity, ',');
  return items;
}

// FINDREGKEY ROOT\key: a missing key ends the section without failing the command, so a section
// of these lines called by CONTINUEIF is a condition. Commas belong to the key's name here.
Status FindRegKey(ScriptContext& context, const ScriptCommand& command) {
  const std::optional<RegistryPath> path = ParseRegistryPath(command.argument);
  if (!path)
    return FailCommand(context, status::kNoRegistryRoot);
  if (!OpenKey(*path, KEY_READ).IsOpen()) {
    context.command_status = status::kRegistryKeyFailed;
    script::StopCurrentSection(context);
  }
  return status::kOk;
}

// GETREGVALUE variable = ROOT\key, value name: the value as text (see ValueAsText).
Status GetRegValue(ScriptContext& context, const ScriptCommand& command) {
  script::ValueQuery query;
  if (Status split = script::SplitValueQuery(command.argument, query))
    return FailCommand(context, split);
  const RegistryKey key = OpenKey(query.key, KEY_READ);
  if (!key.IsOpen())
    return FailCommand(context, status::kRegistryKeyFailed);
  std::array<BYTE, script::kValueCapacity> data{};
  DWORD type = REG_NONE;
  DWORD size = data.size();
  if (key.Query(query.value_name.c_str(), type, data.data(), size) != ERROR_SUCCESS)
    return FailCommand(context, status::kRegistryReadFailed);
  const std::optional<std::string> text = ValueAsText(type, data.data(), size);
  if (!text)
    return FailCommand(context, status::kInvalidValue);
  return FinishCommand(context, script::SetVariable(context, query.variable, *text));
}

// FINDREGVALUE variable = ROOT\key, value name: "1" when the value's first byte is not zero, "0"
// otherwise (also when it is missing or too long to read). The script tests the variable: this
// command never stops the section itself.
Status FindRegValue(ScriptContext& context, const ScriptCommand& command) {
  script::ValueQuery query;
  if (Status split = script::SplitValueQuery(command.argument, query))
    return split;
  const RegistryKey key = OpenKey(query.key, KEY_READ);
  if (!key.IsOpen())
    return status::kRegistryKeyFailed;
  std::array<BYTE, script::kValueCapacity> data{};
  DWORD type = REG_NONE;
  DWORD size = data.size();
  const bool found =
      key.Query(query.value_name.c_str(), type, data.data(), size) == ERROR_SUCCESS && data[0] != 0;
  return script::SetTruthVariable(context, query.variable, found);
}

// SETREGVALUE ROOT\key, value name = variable [, DWORD|BINARY]: writes the variable's value into
// an existing key. A key that exists but cannot be written is only logged.
Status SetRegValue(ScriptContext& context, const ScriptCommand& command) {
  script::ValueAssignment assignment;
  if (Status split = script::SplitValueAssignment(command.argument, assignment))
    return FailCommand(context, split);
  std::string text;
  if (Status found =
          script::GetVariable(context, assignment.value_variable, text, script::kValueCapacity)) {
    return FailCommand(context, found);
  }
  ValueData data;
  if (Status built = BuildValueData(assignment.type, text, data))
    return FailCommand(context, built);
  const RegistryKey key = OpenKey(assignment.key, kReadWriteAccess);
  if (!key.IsOpen()) {
    if (!OpenKey(assignment.key, KEY_READ).IsOpen())
      return FailCommand(context, status::kRegistryKeyFailed);
    context.env.reporter.LogMessage(message::kRegKeyOpenFailed, {});
    return status::kOk;
  }
  if (key.Write(assignment.value_name.c_str(), data.type, data.bytes.data(),
                static_cast<DWORD>(data.bytes.size())) != ERROR_SUCCESS) {
    return FailCommand(context, status::kRegistryWriteFailed);
  }
  return status::kOk;
}

// CREATEREGKEY ROOT\key, new\subkeys: makes the subkeys, as many levels as named, below a key that
// exists. Without the second item there is nothing to make: 22, and no key is touched.
Status CreateRegKey(ScriptContext& context, const ScriptCommand& command) {
  const TwoItems items = SplitItems(command.argument);
  const std::optional<RegistryPath> path = ParseRegistryPath(items.first);
  if (!path)
    return FailCommand(context, status::kNoRegistryRoot);
  const RegistryKey key = OpenKey(*path, KEY_WRITE);
  if (!key.IsOpen())
    return FailCommand(context, status::kRegistryKeyFailed);
  if (items.second.empty())
    return FailCommand(context, status::kSubkeyNotFound);
  if (!RegistryKey::Create(key.Handle(), items.second.c_str(), KEY_WRITE).IsOpen())
    return FailCommand(context, status::kRegistryCreateFailed);
  return status::kOk;
}

// DELETEREGKEY ROOT\key [, TRUE]: with TRUE the key goes with everything below it; without it a key
// that has subkeys stays. A failure is only logged. A root key is never deleted or emptied.
Status DeleteRegKey(ScriptContext& context, const ScriptCommand& command) {
  const TwoItems items = SplitItems(command.argument);
  const std::optional<RegistryPath> path = ParseRegistryPath(items.first);
  if (path && !script::NamesRootKey(*path)) {
    const HKEY root = RootKey(path->root);
    const LSTATUS deleted = base::EqualsIgnoringCase(items.second, "TRUE")
                                ? DeleteRegistryTree(root, path->subkey)
                                : platform::DeleteRegistryKey(root, path->subkey.c_str());
    if (deleted == ERROR_SUCCESS) {
      platform::FlushRegistryKey(root);
      return status::kOk;
    }
  }
  context.env.reporter.LogMessage(message::kRegKeyDeleteFailed, {});
  return status::kOk;
}

// DELETEREGVALUE ROOT\key [, value name]: without a name the key's default value. A failure is
// only logged.
Status DeleteRegValue(ScriptContext& context, const ScriptCommand& command) {
  const TwoItems items = SplitItems(command.argument);
  const std::optional<RegistryPath> path = ParseRegistryPath(items.first);
  if (path) {
    const RegistryKey key = OpenKey(*path, KEY_WRITE);
    if (key.IsOpen() && key.DeleteValue(items.second.c_str()) == ERROR_SUCCESS)
      return status::kOk;
  }
  context.env.reporter.LogMessage(message::kRegValueDeleteFailed, {});
  return status::kOk;
}

constexpr script::HandlerEntry kHandlers[] = {
    {script::opcode::kFindRegKey, FindRegKey},
    {script::opcode::kGetRegValue, GetRegValue},
    {script::opcode::kSetRegValue, SetRegValue},
    {script::opcode::kCreateRegKey, CreateRegKey},
    {script::opcode::kFindRegValue, FindRegValue},
    {script::opcode::kDeleteRegKey, DeleteRegKey},
    {script::opcode::kDeleteRegValue, DeleteRegValue},
};

}  // namespace

script::HandlerList RegistryCommandHandlers() {
  return kHandlers;
}

}  // namespace system_commands

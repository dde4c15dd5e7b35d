#include "script/string_commands.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/characters.h"
#include "base/path.h"
#include "package/container.h"
#include "script/argument_forms.h"
#include "script/values.h"
#include "script/variables.h"

namespace script {
namespace {

Status StoreResult(ScriptContext& context, std::string_view name, std::string_view value) {
  if (SetVariable(context, name, value) != status::kOk)
    return FailCommand(context, status::kNoMemory);
  return status::kOk;
}

// Only a variable's value is appended: a literal second part adds nothing.
Status StringAppend(ScriptContext& context, const ScriptCommand& command) {
  const AppendParts parts = SplitAppendArgument(command.argument);
  if (!parts.Complete())
    return FailCommand(context, status::kUnknownCommand);
  std::string result(parts.first);
  ResolveOperand(context, result, kValueCapacity);
  std::string appended;
  if (GetVariable(context, parts.second, appended, kValueCapacity) == status::kOk)
    result.append(CutToCapacity(appended, kLongValueCapacity - result.size()));
  return StoreResult(context, parts.var, result);
}

// A join that does not fit leaves the folder as it is; that is no failure.
Status NameAppendFile(ScriptContext& context, const ScriptCommand& command) {
  const AppendParts parts = SplitAppendArgument(command.argument);
  if (!parts.Complete())
    return FailCommand(context, status::kUnknownCommand);
  std::string folder(parts.first), name(parts.second);
  ResolveOperand(context, folder, kValueCapacity);
  ResolveOperand(context, name, kValueCapacity);
  base::JoinPath(folder, kLongValueCapacity, name);
  return StoreResult(context, parts.var, folder);
}

// A quoted path keeps its quotes around the folder that remains.
Status NameStripFile(ScriptContext& context, const ScriptCommand& command) {
  std::string name = command.argument;
  TrimBlanks(name);
  std::string value;
  if (GetVariable(context, name, value, kValueCapacity) != status::kOk)
    return FailCommand(context, status::kSymbolNotFound);
  if (value.size() >= 2 && value.front() == '"' && base::EndsWithCharacter(value, '"')) {
    std::string inner = value.substr(1, value.size() - 2);
    base::StripFileName(inner);
    value = '"' + inner + '"';
  } else {
    base::StripFileName(value);
  }
  return StoreResult(context, name, value);
}

// A group is installed when the package flags, masked, equal the wanted bits. Bit 0 marks an
// NT-family-only package; bits 1 to 3 exclude the older groups. A package without flags installs
// every group.
struct FileGroup {
  std::string_view name;
  std::uint32_t mask;
  std::uint32_t wanted;
};
constexpr std::array<FileGroup, 5> kFileGroups = {{
    {"NT_2000_ONLY_FILES", 0x1, 0x1},
    {"CMNDLINE_FILES", 0x3, 0x0},
    {"WIN31_FILES", 0x5, 0x0},
    {"WIN9X_OLD_FILES", 0x9, 0x0},
    {"WIN9X_FILES", 0x1, 0x0},
}};

bool IsGroupInstalled(std::string_view group, std::uint32_t flags) {
  if (flags == 0)
    return true;
  for (const FileGroup& known : kFileGroups) {
    if (known.name == group)
      return (flags & known.mask) == known.wanted;
  }
  return true;
}

Status IsValidFilter(ScriptContext& context, const ScriptCommand& command) {
  std::string name, group;
  const Status split =
      SplitAssignment(command.argument, name, kValueCapacity, group, kValueCapacity);
  if (split != status::kOk)
    return split;
  const std::uint32_t flags =
      context.env.descriptor != nullptr ? context.env.descriptor->trailer.flags : 0;
  ResolveOperand(context, group, kValueCapacity);
  return SetTruthVariable(context, name, IsGroupInstalled(group, flags));
}

constexpr std::array<HandlerEntry, 4> kHandlers = {{
    {opcode::kStringAppend, StringAppend},
    {opcode::kNameAppendFile, NameAppendFile},
    {opcode::kNameStripFile, NameStripFile},
    {opcode::kIsValidFilter, IsValidFilter},
}};

}  // namespace

std::span<const HandlerEntry> StringCommandHandlers() {
  return kHandlers;
}

}  // namespace script

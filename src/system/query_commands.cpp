#include "system/handlers.h"

#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "base/path.h"
#include "log/messages.h"
#include "platform/win32/system_info.h"
#include "script/scanner_folder.h"
#include "script/values.h"
#include "script/variables.h"
#include "script/wait_time.h"

namespace system_commands {
namespace {

using script::ScriptCommand;
using script::ScriptContext;

// Stores value in the variable the whole argument names.
Status StoreAnswer(ScriptContext& context, const ScriptCommand& command, std::string_view value) {
  std::string name = command.argument;
  script::TrimBlanks(name);
  return script::FinishCommand(context, script::SetVariable(context, name, value));
}

Status GetSystemDir(ScriptContext& context, const ScriptCommand& command) {
  const std::string folder = platform::SystemDirectory();
  if (folder.empty())
    return script::FailCommand(context, status::kNoSystemDirectory);
  return StoreAnswer(context, command, folder);
}

Status GetDriverDir(ScriptContext& context, const ScriptCommand& command) {
  std::string folder = platform::SystemDirectory();
  if (folder.empty() || !base::JoinPath(folder, base::kPathCapacity, "Drivers"))
    return script::FailCommand(context, status::kNoSystemDirectory);
  return StoreAnswer(context, command, folder);
}

Status GetWindowsDir(ScriptContext& context, const ScriptCommand& command) {
  const std::string folder = platform::WindowsDirectory();
  if (folder.empty())
    return script::FailCommand(context, status::kNoWindowsDirectory);
  return StoreAnswer(context, command, folder);
}

// The console's INI file has no place the installer could know: the command always fails, without
// ending its section (a calling section still ends, as after any failure).
Status GetOrqIniPath(ScriptContext&, const ScriptCommand&) {
  return status::kNoConsoleIniPath;
}

// The PATH of the process as it is now, not as the program started with it.
std::optional<std::string> SearchPathVariable() {
  const DWORD size = ::GetEnvironmentVariableA("PATH", nullptr, 0);
  if (size == 0)
    return std::nullopt;
  std::string value(size, '\0');
  const DWORD length = ::GetEnvironmentVariableA("PATH", value.data(), size);
  if (length == 0 || length >= size)
    return std::nullopt;
  value.resize(length);
  return value;
}

// No scanner ends the section without failing: a script asks through CONTINUEIF, or looks
// whether the variable was set.
Status GetScanUtilsPath(ScriptContext& context, const ScriptCommand& command) {
  const std::optional<std::string> search_path = SearchPathVariable();
  const std::optional<std::string> folder =
      search_path ? script::FindScannerFolder(*search_path) : std::nullopt;
  if (!folder) {
    script::StopCurrentSection(context);
    return status::kOk;
  }
  return StoreAnswer(context, command, *folder);
}

// A failed version query fails the command but leaves the section running.
Status GetOsType(ScriptContext& context, const ScriptCommand& command) {
  const std::optional<OSVERSIONINFOA> version = platform::SystemVersion();
  if (!version)
    return status::kInvalidValue;
  const char* type = version->dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? "WIN32_9X"
                     : version->dwMajorVersion < 4                       ? "UNSUPPORTED_PLATFORM"
                                                                         : "WINNT_OR_NEWER";
  return StoreAnswer(context, command, type);
}

Status GetProcessorType(ScriptContext& context, const ScriptCommand& command) {
  constexpr std::array<const char*, 4> kArchitectures = {"PROCESSOR_INTEL", "PROCESSOR_MIPS",
                                                         "PROCESSOR_ALPHA", "PROCESSOR_PPC"};
  SYSTEM_INFO info{};
  ::GetSystemInfo(&info);
  // A 32-bit program on a 64-bit x86 system is told of an Intel processor: a 64-bit build
  // answers as the shipped 32-bit one does on the same machine.
  const WORD architecture = info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64
                                ? PROCESSOR_ARCHITECTURE_INTEL
                                : info.wProcessorArchitecture;
  return StoreAnswer(
      context, command,
      architecture < kArchitectures.size() ? kArchitectures[architecture] : "PROCESSOR_UNKNOWN");
}

// The count may come from a variable. A wait longer than the bound is cut, and the log says so.
Status WaitForTime(ScriptContext& context, const ScriptCommand& command) {
  std::string count = command.argument;
  script::TrimBlanks(count);
  script::ResolveOperand(context, count, script::kValueCapacity);
  const script::WaitTime wait = script::WaitTimeOf(count);
  if (wait.cut)
    context.env.reporter.LogMessage(message::kWaitCut, count);
  ::Sleep(wait.milliseconds);
  return status::kOk;
}

constexpr std::array<script::HandlerEntry, 8> kHandlers = {{
    {script::opcode::kGetSystemDir, GetSystemDir},
    {script::opcode::kGetDriverDir, GetDriverDir},
    {script::opcode::kGetWindowsDir, GetWindowsDir},
    {script::opcode::kGetOrqIniPath, GetOrqIniPath},
    {script::opcode::kGetScanUtilsPath, GetScanUtilsPath},
    {script::opcode::kGetOsType, GetOsType},
    {script::opcode::kGetProcessorType, GetProcessorType},
    {script::opcode::kWaitForTime, WaitForTime},
}};

}  // namespace

script::HandlerList QueryCommandHandlers() {
  return kHandlers;
}

}  // namespace system_commands

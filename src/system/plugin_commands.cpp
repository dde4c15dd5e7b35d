#include <windows.h>

#include <array>
#include <optional>
#include <string>

#include "base/path.h"
#include "platform/win32/library_loading.h"
#include "platform/win32/registry_key.h"
#include "script/values.h"
#include "system/handlers.h"

namespace system_commands {
namespace {

using script::ScriptCommand;
using script::ScriptContext;

// Where the management agent may be installed, each a key under HKEY_LOCAL_MACHINE whose value
// "Installed Path" names the folder of its plug-in library. Every one is tried, in this order.
constexpr std::array<const char*, 3> kAgentKeys = {
    "SOFTWARE\\Torvane Partners\\Stewardry\\Agent",
    "SOFTWARE\\Torvane Partners\\QNT\\Shared Components\\Framework",
    "SOFTWARE\\Velkor\\Stewardry\\Agent"};
constexpr char kAgentLibrary[] = "plxcore32.dll";
// The agent's folder is read into a buffer of this many bytes.
constexpr DWORD kInstalledPathCapacity = 1024;
// The plug-in's identifier reaches the agent as UTF-16 of at most this many characters, zero
// included.
constexpr int kWideCapacity = 260;

// The agent library's entry points: standard calls (WINAPI), undecorated names, one argument, the
// plug-in's identifier as a zero-terminated UTF-16 text. Their result means nothing here.
using PluginCall = BOOL(WINAPI*)(const wchar_t* plugin);

// The full path of the agent library at one location; none when the key or its value is missing.
std::optional<std::string> AgentLibraryPath(const char* key_path) {
  const platform::RegistryKey key =
      platform::RegistryKey::Open(HKEY_LOCAL_MACHINE, key_path, KEY_QUERY_VALUE);
  if (!key.IsOpen())
    return std::nullopt;
  char folder[kInstalledPathCapacity];
  DWORD type = REG_NONE;
  DWORD size = sizeof folder - 1;
  if (key.Query("Installed Path", type, reinterpret_cast<BYTE*>(folder), size) != ERROR_SUCCESS)
    return std::nullopt;
  folder[size] = '\0';
  std::string path = folder;
  if (!base::EndsWithSeparator(path))
    path += '\\';
  return path + kAgentLibrary;
}

// Hands the plug-in to the agent at every location that has its library, through the entry point
// export. Always succeeds: a location without key, value, library or entry point is skipped.
Status CallAgents(const ScriptCommand& command, const char* export_name) {
  std::string plugin = command.argument;
  script::TrimBlanks(plugin);
  wchar_t wide[kWideCapacity];
  if (::MultiByteToWideChar(CP_ACP, 0, plugin.c_str(), -1, wide, kWideCapacity) == 0)
    return status::kOk;
  for (const char* key_path : kAgentKeys) {
    const std::optional<std::string> path = AgentLibraryPath(key_path);
    if (!path)
      continue;
    const platform::ModuleHandle library = platform::LoadLibraryAt(*path);
    if (const auto call = platform::FindFunction<PluginCall>(library.Get(), export_name))
      call(wide);
  }
  return status::kOk;
}

// LOADPLUGIN identifier.
Status LoadPlugin(ScriptContext&, const ScriptCommand& command) {
  return CallAgents(command, "LoadPluginDLL");
}

// UNLOADPLUGIN identifier.
Status UnloadPlugin(ScriptContext&, const ScriptCommand& command) {
  return CallAgents(command, "UnloadPluginDLL");
}

constexpr std::array<script::HandlerEntry, 2> kHandlers = {{
    {script::opcode::kLoadPlugin, LoadPlugin},
    {script::opcode::kUnloadPlugin, UnloadPlugin},
}};

}  // namespace

script::HandlerList PluginCommandHandlers() {
  return kHandlers;
}

}  // namespace system_commands

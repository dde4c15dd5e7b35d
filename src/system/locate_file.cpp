#include "system/locate_file.h"

#include <windows.h>

#include <array>

#include "base/path.h"
#include "platform/filesystem.h"
#include "platform/win32/system_info.h"

namespace system_commands {
namespace {

std::string CurrentDirectory() {
  char buffer[MAX_PATH];
  const DWORD length = ::GetCurrentDirectoryA(sizeof buffer, buffer);
  return length == 0 || length >= sizeof buffer ? std::string() : std::string(buffer, length);
}

// The system's search in its default order, without an extension added.
std::string SearchedPath(std::string_view name) {
  const std::string wanted(name);
  char buffer[base::kPathCapacity];
  const DWORD length =
      ::SearchPathA(nullptr, wanted.c_str(), nullptr, sizeof buffer, buffer, nullptr);
  return length == 0 || length >= sizeof buffer ? std::string() : std::string(buffer, length);
}

}  // namespace

std::optional<std::string> LocateFile(const script::ScriptContext& context, std::string_view name) {
  if (base::NamesDevice(name))
    return std::nullopt;
  const std::array<std::string, 4> folders = {context.work_directory, CurrentDirectory(),
                                              platform::WindowsDirectory(),
                                              platform::SystemDirectory()};
  for (std::string path : folders) {
    if (!path.empty() && base::JoinPath(path, base::kPathCapacity, name) && platform::IsFile(path))
      return path;
  }
  std::string found = SearchedPath(name);
  if (!found.empty() && platform::IsFile(found))
    return found;
  return std::nullopt;
}

}  // namespace system_commands

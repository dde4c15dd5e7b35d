#include "install/protected_folders.h"

#include <windows.h>

#include <string_view>
#include <vector>

#include "base/ascii_case.h"
#include "base/path.h"
#include "platform/short_path.h"
#include "platform/win32/registry_key.h"
#include "platform/win32/system_info.h"

namespace install {
namespace {

// "\\?\C:\x" and "\\.\C:\x" reach C:\x past the name rules, "\\?\UNC\server" is \\server.
std::string WithoutDevicePrefix(std::string path) {
  if (path.size() < 4 || path[0] != '\\' || path[1] != '\\' || (path[2] != '?' && path[2] != '.') ||
      path[3] != '\\') {
    return path;
  }
  path.erase(0, 4);
  if (path.size() >= 4 && base::EqualsIgnoringCase(path.substr(0, 4), "UNC\\"))
    path.replace(0, 3, "\\");
  return path;
}

// Full, short, without trailing separators: one spelling for each folder however it was named.
// Empty when the system cannot make the name full.
std::string Normalised(const std::string& path) {
  char buffer[MAX_PATH + 1];
  const std::string plain = WithoutDevicePrefix(path);
  const DWORD length = ::GetFullPathNameA(plain.c_str(), sizeof buffer, buffer, nullptr);
  if (length == 0 || length >= sizeof buffer)
    return {};
  std::string full = platform::ShortPathName(std::string(buffer, length));
  while (full.size() > 1 && (base::EndsWithSeparator(full) || full.back() == '/'))
    full.pop_back();
  return full;
}

// "C:" (its separator cut off) or "\\server\share".
bool IsRoot(const std::string& normalised) {
  if (normalised.size() == 2 && normalised[1] == ':')
    return true;
  if (normalised.size() < 2 || normalised[0] != '\\' || normalised[1] != '\\')
    return false;
  const std::size_t share = normalised.find('\\', 2);
  return share == std::string::npos || normalised.find('\\', share + 1) == std::string::npos;
}

// A text value of an existing key, its %variables% expanded; empty when missing.
std::string RegistryFolder(const char* key_path, const char* value_name) {
  const platform::RegistryKey key =
      platform::RegistryKey::Open(HKEY_LOCAL_MACHINE, key_path, KEY_QUERY_VALUE);
  if (!key.IsOpen())
    return {};
  char value[MAX_PATH + 1] = {};
  DWORD size = sizeof value - 1;
  DWORD type = 0;
  if (::RegQueryValueExA(key.Handle(), value_name, nullptr, &type, reinterpret_cast<BYTE*>(value),
                         &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return {};
  }
  char expanded[MAX_PATH + 1];
  const DWORD length = ::ExpandEnvironmentStringsA(value, expanded, sizeof expanded);
  return length == 0 || length > sizeof expanded ? std::string() : std::string(expanded);
}

// The folders as the running system names them; a folder the system does not have is left out.
std::vector<std::string> SystemFolders() {
  std::vector<std::string> folders;
  const auto add = [&folders](std::string folder) {
    if (!folder.empty())
      folders.push_back(Normalised(folder));
  };
  add(platform::WindowsDirectory());
  add(platform::SystemDirectory());
  constexpr const char* kCurrentVersion = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
  for (const char* name : {"ProgramFilesDir", "ProgramFilesDir (x86)", "ProgramW6432Dir"})
    add(RegistryFolder(kCurrentVersion, name));
  add(RegistryFolder("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList",
                     "ProfilesDirectory"));
  return folders;
}

// True when folder is outer itself or lies inside it.
bool IsWithin(std::string_view folder, std::string_view outer) {
  if (folder.size() < outer.size() ||
      !base::EqualsIgnoringCase(folder.substr(0, outer.size()), outer))
    return false;
  return folder.size() == outer.size() || folder[outer.size()] == '\\';
}

}  // namespace

bool IsProtectedFolder(const std::string& folder) {
  const std::string candidate = Normalised(folder);
  // A name the system cannot resolve is refused too: nothing proves it harmless.
  if (candidate.empty() || IsRoot(candidate))
    return true;
  for (const std::string& system_folder : SystemFolders()) {
    if (!system_folder.empty() && IsWithin(system_folder, candidate))
      return true;
  }
  return false;
}

}  // namespace install

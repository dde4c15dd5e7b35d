#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace system_commands {

// A key as scripts write it: ROOT\subkey\path. An empty subkey path is the root key itself.
struct RegistryPath {
  HKEY root = nullptr;
  std::string subkey;
};

// The root named by the text before the first backslash (HKLM, HKCU, or HKLU for HKEY_USERS, in
// any case) and everything after that backslash; none without a backslash or with another root.
std::optional<RegistryPath> ParseRegistryPath(std::string_view text);

// True when the path names a root key itself, however it is written (HKLM\, HKLM\\).
bool NamesRootKey(const RegistryPath& path);

}  // namespace system_commands

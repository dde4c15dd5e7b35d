#pragma once

#include <optional>
#include <string>
#include <string_view>

// Registry keys as scripts write them: ROOT\subkey\path. Only the text; the system layer opens
// them.
namespace script {

enum class RegistryRoot { kLocalMachine, kUsers, kCurrentUser };

struct RegistryPath {
  RegistryRoot root = RegistryRoot::kLocalMachine;
  std::string subkey;  // empty for the root key itself
};

// The root named by the text before the first backslash (HKLM, HKCU, or HKLU for HKEY_USERS, in
// any case); none without a backslash or with another root.
std::optional<RegistryRoot> ParseRegistryRoot(std::string_view text);
// That root and everything after its backslash.
std::optional<RegistryPath> ParseRegistryPath(std::string_view text);

// True when the path names a root key itself, however it is written (HKLM\, HKLM\\).
bool NamesRootKey(const RegistryPath& path);

}  // namespace script

#include "system/registry_tree.h"

#include "platform/win32/registry_key.h"

namespace system_commands {

using platform::RegistryKey;
using platform::RegistryValue;

LSTATUS DeleteRegistryTree(HKEY parent, const std::string& path) {
  if (path.empty())
    return ERROR_BADKEY;
  {
    LSTATUS result = ERROR_SUCCESS;
    const RegistryKey key =
        RegistryKey::Open(parent, path.c_str(), DELETE | KEY_ENUMERATE_SUB_KEYS, &result);
    if (!key.IsOpen())
      return result;
    // Always the first subkey: the enumeration stays valid while subkeys disappear.
    std::string subkey;
    while ((result = key.SubkeyAt(0, subkey)) == ERROR_SUCCESS) {
      if ((result = DeleteRegistryTree(key.Handle(), subkey)) != ERROR_SUCCESS)
        return result;
    }
    if (result != ERROR_NO_MORE_ITEMS)
      return result;
  }
  return platform::DeleteRegistryKey(parent, path.c_str());
}

LSTATUS CopyRegistryTree(const RegistryKey& source, const RegistryKey& destination) {
  LSTATUS result = ERROR_SUCCESS;
  std::string name;
  for (DWORD i = 0; (result = source.SubkeyAt(i, name)) == ERROR_SUCCESS; ++i) {
    if (name.empty())
      continue;
    const RegistryKey child = RegistryKey::Open(source.Handle(), name.c_str(), KEY_READ, &result);
    if (!child.IsOpen())
      return result;
    const RegistryKey copy =
        RegistryKey::Create(destination.Handle(), name.c_str(), KEY_READ | KEY_WRITE, &result);
    if (!copy.IsOpen())
      return result;
    if ((result = CopyRegistryTree(child, copy)) != ERROR_SUCCESS)
      return result;
  }
  if (result != ERROR_NO_MORE_ITEMS)
    return result;
  RegistryValue value;
  for (DWORD i = 0; (result = source.ValueAt(i, value)) == ERROR_SUCCESS; ++i) {
    if (value.name.empty() || value.data.empty())
      continue;
    result = destination.Write(value.name.c_str(), value.type, value.data.data(),
                               static_cast<DWORD>(value.data.size()));
    if (result != ERROR_SUCCESS)
      return result;
  }
  return result == ERROR_NO_MORE_ITEMS ? ERROR_SUCCESS : result;
}

}  // namespace system_commands

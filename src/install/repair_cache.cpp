#include "install/repair_cache.h"

#include <windows.h>

#include <array>
#include <cstring>

#include "base/ascii_case.h"
#include "base/path.h"
#include "install/copy_engine.h"
#include "platform/win32/registry_key.h"
#include "script/values.h"

namespace install {

std::optional<std::string> RepairCachePath() {
  const platform::RegistryKey key =
      platform::RegistryKey::OpenWide(HKEY_LOCAL_MACHINE, kProductKey, KEY_READ);
  if (!key.IsOpen())
    return std::nullopt;
  std::array<char, base::kPathCapacity> value{};
  DWORD size = value.size();
  std::string path;
  if (::RegQueryValueExA(key.Handle(), "szInstallDir", nullptr, nullptr,
                         reinterpret_cast<BYTE*>(value.data()), &size) == ERROR_SUCCESS) {
    path.assign(value.data(), strnlen(value.data(), size));
  }
  // The stored folder ends with its separator; nothing is put in between.
  path += kRepairCacheName;
  return std::string(script::CutToCapacity(path, base::kPathCapacity));
}

Status CloneIntoRepairCache(script::ScriptContext& context, const std::string& installer_path) {
  const std::optional<std::string> cache = RepairCachePath();
  if (!cache)
    return status::kRegistryKeyFailed;
  if (base::EqualsIgnoringCase(*cache, installer_path))
    return status::kOk;  // already running from the cache
  return CopyIntoPlace(context, *cache, installer_path);
}

}  // namespace install

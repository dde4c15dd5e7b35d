#pragma once

#include <optional>
#include <string>

#include "base/status.h"
#include "script/script_context.h"

// The product keeps a copy of the last installer in its repair cache, so that it can repair
// itself later without the download.
namespace install {

// The product's key below HKEY_LOCAL_MACHINE, and the installer's name in the cache.
inline constexpr wchar_t kProductKey[] = L"SOFTWARE\\Velkor\\DesktopProtection";
inline constexpr char kRepairCacheName[] = "RepairCache\\QKR87ZPX.EXE";

// The product's "szInstallDir" (empty when missing) with kRepairCacheName appended as it stands,
// at most 259 characters; none when the product's key cannot be opened.
std::optional<std::string> RepairCachePath();

// Copies the installer at installer_path into the repair cache unless it is the cached copy
// itself. status::kRegistryKeyFailed without the product's key; otherwise CopyIntoPlace's status
// (kNoRun when the cache folder does not exist: the folder is the product's to make).
Status CloneIntoRepairCache(script::ScriptContext& context, const std::string& installer_path);

}  // namespace install

#include "shell/completion_record.h"

#include <windows.h>

#include "platform/win32/registry_key.h"

namespace shell {
namespace {

using platform::RegistryKey;

constexpr REGSAM kRecordAccess = KEY_READ | KEY_WRITE;

// Makes the record's key one level at a time below the vendor key, which is never created here.
RegistryKey CreateRecordKey() {
  RegistryKey parent = RegistryKey::Open(HKEY_LOCAL_MACHINE, kVendorKey, KEY_CREATE_SUB_KEY);
  for (const char* name : {"QNT", "Shared Components"})
    parent = RegistryKey::Create(parent.Handle(), name, KEY_CREATE_SUB_KEY);
  return RegistryKey::Create(parent.Handle(), "OmniPack", kRecordAccess);
}

void SetDword(const RegistryKey& key, const char* name, DWORD value) {
  ::RegSetValueExA(key.Handle(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                   sizeof value);
}

}  // namespace

void WriteCompletionRecord(Status result, bool reboot_not_needed) {
  RegistryKey record = RegistryKey::Open(HKEY_LOCAL_MACHINE, kCompletionRecordKey, kRecordAccess);
  if (!record.IsOpen())
    record = CreateRecordKey();
  if (!record.IsOpen())
    return;
  SetDword(record, "CompletionSuccess", static_cast<DWORD>(result));
  SetDword(record, "RebootRequired", reboot_not_needed ? 0 : 1);
}

}  // namespace shell

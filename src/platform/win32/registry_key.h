#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/unique_handle.h"

namespace platform {

// One value of a key, read whole.
struct RegistryValue {
  std::string name;
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

// One open registry key, closed with the object, and what is done with it. Calls that can fail
// return the system's error code (ERROR_SUCCESS on success).
class RegistryKey {
 public:
  RegistryKey() = default;
  // Opens an existing key; the result is not open when that fails, and result (if given) says why.
  static RegistryKey Open(HKEY parent, const char* path, REGSAM access, LSTATUS* result = nullptr);
  // As Open, through the 16-bit-character call, for callers that must open the key that way.
  static RegistryKey OpenWide(HKEY parent, const wchar_t* path, REGSAM access);
  // Creates a non-volatile key with default security, or opens it when it exists.
  static RegistryKey Create(HKEY parent, const char* path, REGSAM access,
                            LSTATUS* result = nullptr);

  bool IsOpen() const { return key_.IsOpen(); }
  HKEY Handle() const { return key_.Get(); }

  // Reads a value into data (size: its capacity in, the bytes read out).
  LSTATUS Query(const char* name, DWORD& type, BYTE* data, DWORD& size) const;
  // A value of at most 4 bytes as a little-endian number, whatever its type (given in type if
  // asked for); none when there is no such value or it is longer.
  std::optional<std::uint32_t> ReadNumber(const char* name, DWORD* type = nullptr) const;
  LSTATUS Write(const char* name, DWORD type, const BYTE* data, DWORD size) const;
  LSTATUS WriteDword(const char* name, std::uint32_t value) const;
  // REG_SZ with its terminating zero counted.
  LSTATUS WriteText(const char* name, std::string_view text) const;
  LSTATUS DeleteValue(const char* name) const;

  // The value at index of the key's values; ERROR_NO_MORE_ITEMS past the last.
  LSTATUS ValueAt(DWORD index, RegistryValue& value) const;
  // The name of the subkey at index; ERROR_NO_MORE_ITEMS past the last.
  LSTATUS SubkeyAt(DWORD index, std::string& name) const;
  // 0 when the key cannot say.
  DWORD SubkeyCount() const;

 private:
  // key as the call that opened it left it, with its result.
  static RegistryKey Kept(LSTATUS call_result, RegistryKey& key, LSTATUS* result);

  RegistryKeyHandle key_;
};

// Deletes parent\path, which must have no subkeys on the NT family.
LSTATUS DeleteRegistryKey(HKEY parent, const char* path);
// Writes what has changed below key to disk.
LSTATUS FlushRegistryKey(HKEY key);

}  // namespace platform

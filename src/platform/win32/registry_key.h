#pragma once

#include <windows.h>

#include "platform/win32/unique_handle.h"

namespace platform {

// One open registry key, closed with the object.
class RegistryKey {
 public:
  RegistryKey() = default;
  // Opens an existing key; the result is not open when that fails.
  static RegistryKey Open(HKEY parent, const char* path, REGSAM access) {
    RegistryKey key;
    if (parent != nullptr)
      Keep(::RegOpenKeyExA(parent, path, 0, access, key.key_.Receive()), key);
    return key;
  }
  // As Open, through the 16-bit-character call, for callers that must open the key that way.
  static RegistryKey OpenWide(HKEY parent, const wchar_t* path, REGSAM access) {
    RegistryKey key;
    if (parent != nullptr)
      Keep(::RegOpenKeyExW(parent, path, 0, access, key.key_.Receive()), key);
    return key;
  }
  // Creates a non-volatile key with default security, or opens it when it exists.
  static RegistryKey Create(HKEY parent, const char* path, REGSAM access) {
    RegistryKey key;
    if (parent != nullptr) {
      Keep(::RegCreateKeyExA(parent, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                             key.key_.Receive(), nullptr),
           key);
    }
    return key;
  }

  bool IsOpen() const { return key_.IsOpen(); }
  HKEY Handle() const { return key_.Get(); }

 private:
  // A failed call may leave anything in the handle it was given; only success keeps it.
  static void Keep(LSTATUS result, RegistryKey& key) {
    if (result != ERROR_SUCCESS)
      key.key_.Release();
  }

  RegistryKeyHandle key_;
};

}  // namespace platform

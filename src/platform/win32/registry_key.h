#pragma once

#include <windows.h>

#include <utility>

namespace platform {

// One open registry key, closed with the object.
class RegistryKey {
 public:
  RegistryKey() = default;
  // Opens an existing key; the result is not open when that fails.
  static RegistryKey Open(HKEY parent, const char* path, REGSAM access) {
    RegistryKey key;
    if (parent == nullptr || ::RegOpenKeyExA(parent, path, 0, access, &key.key_) != ERROR_SUCCESS)
      key.key_ = nullptr;
    return key;
  }
  // As Open, through the 16-bit-character call, for callers that must open the key that way.
  static RegistryKey OpenWide(HKEY parent, const wchar_t* path, REGSAM access) {
    RegistryKey key;
    if (parent == nullptr || ::RegOpenKeyExW(parent, path, 0, access, &key.key_) != ERROR_SUCCESS)
      key.key_ = nullptr;
    return key;
  }
  // Creates a non-volatile key with default security, or opens it when it exists.
  static RegistryKey Create(HKEY parent, const char* path, REGSAM access) {
    RegistryKey key;
    if (parent == nullptr ||
        ::RegCreateKeyExA(parent, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                          &key.key_, nullptr) != ERROR_SUCCESS) {
      key.key_ = nullptr;
    }
    return key;
  }

  RegistryKey(RegistryKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
  RegistryKey& operator=(RegistryKey&& other) noexcept {
    std::swap(key_, other.key_);
    return *this;
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  ~RegistryKey() {
    if (key_ != nullptr)
      ::RegCloseKey(key_);
  }

  bool IsOpen() const { return key_ != nullptr; }
  HKEY Handle() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace platform

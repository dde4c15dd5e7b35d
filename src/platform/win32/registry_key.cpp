#include "platform/win32/registry_key.h"

#include <array>
#include <utility>

namespace platform {
namespace {

// Key names are at most 255 characters; in a double-byte code page that many can take twice as
// many bytes.
constexpr DWORD kKeyNameCapacity = 2 * 256;
// Value names are at most 16,383 characters.
constexpr DWORD kValueNameCapacity = 2 * 16384;

}  // namespace

RegistryKey RegistryKey::Kept(LSTATUS call_result, RegistryKey& key, LSTATUS* result) {
  if (result != nullptr)
    *result = call_result;
  // A failed call may leave anything in the handle it was given; only success keeps it.
  if (call_result != ERROR_SUCCESS)
    key.key_.Release();
  return std::move(key);
}

RegistryKey RegistryKey::Open(HKEY parent, const char* path, REGSAM access, LSTATUS* result) {
  RegistryKey key;
  const LSTATUS opened = parent == nullptr
                             ? ERROR_INVALID_HANDLE
                             : ::RegOpenKeyExA(parent, path, 0, access, key.key_.Receive());
  return Kept(opened, key, result);
}

RegistryKey RegistryKey::OpenWide(HKEY parent, const wchar_t* path, REGSAM access) {
  RegistryKey key;
  const LSTATUS opened = parent == nullptr
                             ? ERROR_INVALID_HANDLE
                             : ::RegOpenKeyExW(parent, path, 0, access, key.key_.Receive());
  return Kept(opened, key, nullptr);
}

RegistryKey RegistryKey::Create(HKEY parent, const char* path, REGSAM access, LSTATUS* result) {
  RegistryKey key;
  const LSTATUS created = parent == nullptr
                              ? ERROR_INVALID_HANDLE
                              : ::RegCreateKeyExA(parent, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                  access, nullptr, key.key_.Receive(), nullptr);
  return Kept(created, key, result);
}

LSTATUS RegistryKey::Query(const char* name, DWORD& type, BYTE* data, DWORD& size) const {
  return ::RegQueryValueExA(Handle(), name, nullptr, &type, data, &size);
}

std::optional<std::uint32_t> RegistryKey::ReadNumber(const char* name, DWORD* type) const {
  std::array<BYTE, 4> bytes{};
  DWORD value_type = REG_NONE;
  DWORD size = bytes.size();
  if (Query(name, value_type, bytes.data(), size) != ERROR_SUCCESS)
    return std::nullopt;
  if (type != nullptr)
    *type = value_type;
  return static_cast<std::uint32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 |
                                    static_cast<std::uint32_t>(bytes[3]) << 24);
}

LSTATUS RegistryKey::Write(const char* name, DWORD type, const BYTE* data, DWORD size) const {
  return ::RegSetValueExA(Handle(), name, 0, type, data, size);
}

LSTATUS RegistryKey::WriteDword(const char* name, std::uint32_t value) const {
  const DWORD number = value;
  return Write(name, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
}

LSTATUS RegistryKey::WriteText(const char* name, std::string_view text) const {
  const std::string terminated(text);
  return Write(name, REG_SZ, reinterpret_cast<const BYTE*>(terminated.c_str()),
               static_cast<DWORD>(terminated.size() + 1));
}

LSTATUS RegistryKey::DeleteValue(const char* name) const {
  return ::RegDeleteValueA(Handle(), name);
}

LSTATUS RegistryKey::ValueAt(DWORD index, RegistryValue& value) const {
  std::vector<char> name(kValueNameCapacity);
  value.data.resize(256);
  for (;;) {
    DWORD name_size = name.size();
    DWORD data_size = value.data.size();
    const LSTATUS result = ::RegEnumValueA(Handle(), index, name.data(), &name_size, nullptr,
                                           &value.type, value.data.data(), &data_size);
    // Too little room for the data: the call has said how much it needs.
    if (result == ERROR_MORE_DATA && data_size > value.data.size()) {
      value.data.resize(data_size);
      continue;
    }
    if (result == ERROR_SUCCESS) {
      value.name.assign(name.data(), name_size);
      value.data.resize(data_size);
    }
    return result;
  }
}

LSTATUS RegistryKey::SubkeyAt(DWORD index, std::string& name) const {
  std::array<char, kKeyNameCapacity> buffer{};
  DWORD size = buffer.size();
  const LSTATUS result =
      ::RegEnumKeyExA(Handle(), index, buffer.data(), &size, nullptr, nullptr, nullptr, nullptr);
  if (result == ERROR_SUCCESS)
    name.assign(buffer.data(), size);
  return result;
}

DWORD RegistryKey::SubkeyCount() const {
  DWORD count = 0;
  if (::RegQueryInfoKeyA(Handle(), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
    return 0;
  }
  return count;
}

LSTATUS DeleteRegistryKey(HKEY parent, const char* path) {
  return ::RegDeleteKeyA(parent, path);
}

LSTATUS FlushRegistryKey(HKEY key) {
  return ::RegFlushKey(key);
}

}  // namespace platform

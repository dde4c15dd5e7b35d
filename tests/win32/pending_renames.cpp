#include "pending_renames.h"

#include <windows.h>

#include <cctype>

#include "platform/win32/registry_key.h"

namespace test_support {
namespace {

constexpr char kKey[] = "System\\CurrentControlSet\\Control\\Session Manager";
constexpr char kValue[] = "PendingFileRenameOperations";

std::string Lower(std::string text) {
  for (char& c : text)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The value holds "from", "to", "from", "to", ... and a closing empty string.
PendingRenames::Pairs AllPairs() {
  PendingRenames::Pairs pairs;
  const auto key = platform::RegistryKey::Open(HKEY_LOCAL_MACHINE, kKey, KEY_QUERY_VALUE);
  DWORD size = 0;
  if (!key.IsOpen() ||
      ::RegQueryValueExA(key.Handle(), kValue, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) {
    return pairs;
  }
  std::string data(size, '\0');
  if (::RegQueryValueExA(key.Handle(), kValue, nullptr, nullptr,
                         reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS) {
    return pairs;
  }
  data.resize(size);
  std::vector<std::string> strings;
  for (std::size_t at = 0; at < data.size();) {
    const std::size_t end = data.find('\0', at);
    strings.push_back(data.substr(at, end - at));
    at = end == std::string::npos ? data.size() : end + 1;
  }
  for (std::size_t i = 0; i + 1 < strings.size(); i += 2)
    pairs.emplace_back(strings[i], strings[i + 1]);
  return pairs;
}

void WritePairs(const PendingRenames::Pairs& pairs) {
  const auto key = platform::RegistryKey::Open(HKEY_LOCAL_MACHINE, kKey, KEY_SET_VALUE);
  if (!key.IsOpen())
    return;
  if (pairs.empty()) {
    ::RegDeleteValueA(key.Handle(), kValue);
    return;
  }
  std::string data;
  for (const auto& [from, to] : pairs)
    data.append(from).append(1, '\0').append(to).append(1, '\0');
  data.push_back('\0');
  ::RegSetValueExA(key.Handle(), kValue, 0, REG_MULTI_SZ,
                   reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()));
}

}  // namespace

std::string SystemForm(const std::string& path) {
  return "\\??\\" + path;
}

PendingRenames::PendingRenames(const std::string& folder) : folder_(Lower(folder)) {}

PendingRenames::~PendingRenames() {
  const Pairs all = AllPairs();
  Pairs kept;
  for (const auto& pair : all) {
    if (!IsOurs(pair.first) && !IsOurs(pair.second))
      kept.push_back(pair);
  }
  if (kept.size() != all.size())
    WritePairs(kept);
}

PendingRenames::Pairs PendingRenames::Ours() const {
  Pairs ours;
  for (const auto& pair : AllPairs()) {
    if (IsOurs(pair.first) || IsOurs(pair.second))
      ours.push_back(pair);
  }
  return ours;
}

bool PendingRenames::IsOurs(const std::string& path) const {
  return !path.empty() && Lower(path).find(folder_) != std::string::npos;
}

RefusedDelayedOperations::RefusedDelayedOperations() {
  const auto key =
      platform::RegistryKey::Open(HKEY_LOCAL_MACHINE, kKey, KEY_QUERY_VALUE | KEY_SET_VALUE);
  DWORD size = 0;
  if (::RegQueryValueExA(key.Handle(), kValue, nullptr, &type_, nullptr, &size) == ERROR_SUCCESS) {
    saved_.emplace(size, '\0');
    ::RegQueryValueExA(key.Handle(), kValue, nullptr, &type_,
                       reinterpret_cast<BYTE*>(saved_->data()), &size);
  }
  ::RegSetValueExA(key.Handle(), kValue, 0, REG_BINARY, reinterpret_cast<const BYTE*>("x"), 1);
}

RefusedDelayedOperations::~RefusedDelayedOperations() {
  const auto key = platform::RegistryKey::Open(HKEY_LOCAL_MACHINE, kKey, KEY_SET_VALUE);
  if (saved_) {
    ::RegSetValueExA(key.Handle(), kValue, 0, type_, reinterpret_cast<const BYTE*>(saved_->data()),
                     static_cast<DWORD>(saved_->size()));
  } else {
    ::RegDeleteValueA(key.Handle(), kValue);
  }
}

}  // namespace test_support

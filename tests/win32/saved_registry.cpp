#include "saved_registry.h"

#include <cstdio>
#include <utility>

namespace test_support {
namespace {

// Owns a key opened or made by the tests' own calls.
struct Key {
  HKEY handle = nullptr;
  Key() = default;
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  ~Key() {
    if (handle != nullptr)
      ::RegCloseKey(handle);
  }
};

bool ReadInto(HKEY key, RegistryTree& tree) {
  for (DWORD i = 0;; ++i) {
    char name[16384];
    DWORD name_size = sizeof name;
    DWORD type = REG_NONE;
    DWORD size = 0;
    LSTATUS result = ::RegEnumValueA(key, i, name, &name_size, nullptr, &type, nullptr, &size);
    if (result == ERROR_NO_MORE_ITEMS)
      break;
    if (result != ERROR_SUCCESS)
      return false;
    RegistryData data{type, std::vector<BYTE>(size)};
    name_size = sizeof name;
    result = ::RegEnumValueA(key, i, name, &name_size, nullptr, &type, data.bytes.data(), &size);
    if (result != ERROR_SUCCESS)
      return false;
    data.bytes.resize(size);
    tree.values[std::string(name, name_size)] = std::move(data);
  }
  for (DWORD i = 0;; ++i) {
    char name[512];
    DWORD name_size = sizeof name;
    const LSTATUS result =
        ::RegEnumKeyExA(key, i, name, &name_size, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_NO_MORE_ITEMS)
      break;
    Key child;
    if (result != ERROR_SUCCESS ||
        ::RegOpenKeyExA(key, name, 0, KEY_READ, &child.handle) != ERROR_SUCCESS ||
        !ReadInto(child.handle, tree.subkeys[std::string(name, name_size)])) {
      return false;
    }
  }
  return true;
}

void AddLines(const RegistryTree& tree, const std::string& prefix,
              std::vector<std::string>& lines) {
  lines.push_back(prefix.empty() ? "\\" : prefix);
  for (const auto& [name, data] : tree.values) {
    std::string line = prefix + name + " = ";
    if (data.type == REG_SZ) {
      line += "REG_SZ " + std::string(data.bytes.begin(), data.bytes.end());
      // The terminating zero shows as \0, so that a missing one is seen.
      for (std::size_t at; (at = line.find('\0')) != std::string::npos;)
        line.replace(at, 1, "\\0");
    } else if (data.type == REG_DWORD && data.bytes.size() == 4) {
      line +=
          "REG_DWORD " + std::to_string(data.bytes[0] | data.bytes[1] << 8 | data.bytes[2] << 16 |
                                        static_cast<std::uint32_t>(data.bytes[3]) << 24);
    } else {
      line += "type " + std::to_string(data.type);
      for (const BYTE byte : data.bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02X", byte);
        line += hex;
      }
    }
    lines.push_back(line);
  }
  for (const auto& [name, subkey] : tree.subkeys)
    AddLines(subkey, prefix + name + "\\", lines);
}

}  // namespace

RegistryData Sz(std::string_view text) {
  RegistryData data{REG_SZ, std::vector<BYTE>(text.begin(), text.end())};
  data.bytes.push_back(0);
  return data;
}

RegistryData Dword(std::uint32_t number) {
  return {REG_DWORD,
          {static_cast<BYTE>(number), static_cast<BYTE>(number >> 8),
           static_cast<BYTE>(number >> 16), static_cast<BYTE>(number >> 24)}};
}

RegistryData Binary(std::string_view bytes) {
  return {REG_BINARY, std::vector<BYTE>(bytes.begin(), bytes.end())};
}

RegistryTree& RegistryTree::At(std::string_view path) {
  RegistryTree* tree = this;
  while (!path.empty()) {
    const std::size_t separator = path.find('\\');
    tree = &tree->subkeys[std::string(path.substr(0, separator))];
    path = separator == std::string_view::npos ? std::string_view() : path.substr(separator + 1);
  }
  return *tree;
}

std::optional<RegistryTree> ReadRegistryTree(HKEY root, const std::string& path) {
  Key key;
  if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key.handle) != ERROR_SUCCESS)
    return std::nullopt;
  RegistryTree tree;
  if (!ReadInto(key.handle, tree))
    return std::nullopt;
  return tree;
}

bool WriteRegistryTree(HKEY root, const std::string& path, const RegistryTree& tree) {
  Key key;
  if (::RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key.handle, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  for (const auto& [name, data] : tree.values) {
    if (::RegSetValueExA(key.handle, name.c_str(), 0, data.type, data.bytes.data(),
                         static_cast<DWORD>(data.bytes.size())) != ERROR_SUCCESS) {
      return false;
    }
  }
  for (const auto& [name, subkey] : tree.subkeys) {
    if (!WriteRegistryTree(key.handle, name, subkey))
      return false;
  }
  return true;
}

bool RemoveRegistryTree(HKEY root, const std::string& path) {
  ::RegDeleteTreeA(root, path.c_str());
  Key key;
  return ::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key.handle) == ERROR_FILE_NOT_FOUND;
}

std::vector<std::string> RegistryLines(const RegistryTree& tree) {
  std::vector<std::string> lines;
  AddLines(tree, "", lines);
  return lines;
}

SavedRegistryKey::SavedRegistryKey(HKEY root, std::string path)
    : root_(root), path_(std::move(path)), saved_(ReadRegistryTree(root_, path_)) {
  Key key;
  const bool exists =
      ::RegOpenKeyExA(root_, path_.c_str(), 0, KEY_READ, &key.handle) != ERROR_FILE_NOT_FOUND;
  ready_ = (saved_ || !exists) && RemoveRegistryTree(root_, path_);
}

SavedRegistryKey::~SavedRegistryKey() {
  if (!ready_)
    return;
  RemoveRegistryTree(root_, path_);
  if (saved_)
    WriteRegistryTree(root_, path_, *saved_);
}

}  // namespace test_support

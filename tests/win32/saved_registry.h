#pragma once

// Registry trees for tests that seed keys, compare whole trees after a command, and must leave a
// shared location of the registry as they found it. Read and written with the system's own calls,
// apart from the code under test.

#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace test_support {

struct RegistryData {
  DWORD type = REG_NONE;
  std::vector<BYTE> bytes;
  bool operator==(const RegistryData&) const = default;
};
RegistryData Sz(std::string_view text);  // with its terminating zero
RegistryData Dword(std::uint32_t number);
RegistryData Binary(std::string_view bytes);

// A key's values (by name, "" for the default value) and subkeys.
struct RegistryTree {
  std::map<std::string, RegistryData> values;
  std::map<std::string, RegistryTree> subkeys;
  // The tree at a relative path (made when missing), for building and editing trees in tests.
  RegistryTree& At(std::string_view path);
};

// none when root\path does not exist.
std::optional<RegistryTree> ReadRegistryTree(HKEY root, const std::string& path);
// Creates root\path and writes the tree into it; false at the first failure.
bool WriteRegistryTree(HKEY root, const std::string& path, const RegistryTree& tree);
// Deletes root\path with everything below it; true when it is gone.
bool RemoveRegistryTree(HKEY root, const std::string& path);

// The tree as lines "sub\key\" (one per key, the top key as "\") and "sub\key\name = REG_SZ
// text", "... = REG_DWORD 12051", "... = REG_BINARY 01 50" (one per value): two trees are equal
// when their values are, and a difference reads as the lines that differ.
std::vector<std::string> RegistryLines(const RegistryTree& tree);

// Takes root\path out of the registry, so that a test starts without it, and puts it back as it
// was (or removes what the test left there) when the object goes. A key that cannot be read whole
// is left alone, and the object is not ready.
class SavedRegistryKey {
 public:
  SavedRegistryKey(HKEY root, std::string path);
  ~SavedRegistryKey();
  SavedRegistryKey(const SavedRegistryKey&) = delete;
  SavedRegistryKey& operator=(const SavedRegistryKey&) = delete;

  bool Ready() const { return ready_; }

 private:
  HKEY root_;
  std::string path_;
  std::optional<RegistryTree> saved_;
  bool ready_ = false;
};

}  // namespace test_support

#include <windows.h>

#include <vector>

#include "platform/profile.h"

namespace platform {

int ReadProfileInt(const std::string& section, const std::string& key, int default_value,
                   const std::string& path) {
  return static_cast<int>(
      ::GetPrivateProfileIntA(section.c_str(), key.c_str(), default_value, path.c_str()));
}

std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& default_value, const std::string& path,
                              std::size_t capacity) {
  if (capacity == 0)
    return {};
  std::vector<char> buffer(capacity);
  const DWORD length =
      ::GetPrivateProfileStringA(section.c_str(), key.c_str(), default_value.c_str(), buffer.data(),
                                 static_cast<DWORD>(capacity), path.c_str());
  return std::string(buffer.data(), length);
}

}  // namespace platform

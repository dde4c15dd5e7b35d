#pragma once

#include <cstddef>
#include <string>

// The system's reader of INI files ("profiles"): sections and keys compare case-blind, and the
// first matching section and key answer.
namespace platform {

// The key's value as a decimal integer; default_value when the key is missing or empty.
int ReadProfileInt(const std::string& section, const std::string& key, int default_value,
                   const std::string& path);

// The key's value with surrounding blanks removed, cut to capacity - 1 characters;
// default_value (cut the same way) when the key is missing.
std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& default_value, const std::string& path,
                              std::size_t capacity);

}  // namespace platform

// A small reader of INI files for hosts without the profile API: enough of its rules for the
// installer's own options file and the tests that share one table with the Windows build.

#include <fstream>
#include <optional>
#include <string_view>

#include "base/ascii_case.h"
#include "platform/posix/native_path.h"
#include "platform/profile.h"

namespace platform {
namespace {

std::string_view Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos)
    return {};
  const std::size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

// The value of the first key of that name in the first section of that name.
std::optional<std::string> FindValue(const std::string& section, const std::string& key,
                                     const std::string& path) {
  std::ifstream file(NativePath(path), std::ios::binary);
  bool in_section = false;
  bool section_seen = false;
  std::string raw;
  while (std::getline(file, raw)) {
    if (!raw.empty() && raw.back() == '\r')
      raw.pop_back();
    const std::string_view line = Trim(raw);
    if (!line.empty() && line.front() == '[') {
      if (section_seen)
        return std::nullopt;
      const std::size_t close = line.find(']');
      const std::string_view name =
          Trim(line.substr(1, close == std::string_view::npos ? line.npos : close - 1));
      in_section = section_seen = base::EqualsIgnoringCase(name, section);
      continue;
    }
    if (!in_section || line.empty() || line.front() == ';')
      continue;
    const std::size_t equals = line.find('=');
    if (!base::EqualsIgnoringCase(Trim(line.substr(0, equals)), key))
      continue;
    return equals == std::string_view::npos ? std::string()
                                            : std::string(Trim(line.substr(equals + 1)));
  }
  return std::nullopt;
}

}  // namespace

int ReadProfileInt(const std::string& section, const std::string& key, int default_value,
                   const std::string& path) {
  const std::optional<std::string> value = FindValue(section, key, path);
  if (!value || value->empty())
    return default_value;
  // Leading digits with an optional sign, as the system reads them; anything else counts as 0.
  std::string_view digits = *value;
  const bool negative = digits.front() == '-';
  if (negative || digits.front() == '+')
    digits.remove_prefix(1);
  unsigned result = 0;
  for (char c : digits) {
    if (c < '0' || c > '9')
      break;
    result = result * 10 + static_cast<unsigned>(c - '0');
  }
  return static_cast<int>(negative ? 0u - result : result);
}

std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& default_value, const std::string& path,
                              std::size_t capacity) {
  if (capacity == 0)
    return {};
  std::string value = FindValue(section, key, path).value_or(default_value);
  if (value.size() > capacity - 1)
    value.resize(capacity - 1);
  return value;
}

}  // namespace platform

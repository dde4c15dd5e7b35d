// The installer's own INI reader on any file text, asked for what the text itself names: the
// first line as a section and the second as a key, so that lookups also find what was entered.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "script/ini_profile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const script::IniProfile profile = script::IniProfile::Parse(text);
  const std::size_t first_end = std::min(text.find('\n'), text.size());
  const std::string_view first = text.substr(0, first_end);
  const std::string_view second = text.substr(std::min(first_end + 1, text.size()));
  profile.Value(first, second.substr(0, second.find('\n')));
  profile.Value("", first);
  return 0;
}

#include "script/ini_profile.h"

#include <algorithm>

#include "base/status.h"
#include "script/script_file.h"

namespace script {
namespace {

constexpr std::string_view kLineEnds = "\r\n";

bool IsBlankOrLineEnd(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

IniProfile IniProfile::Parse(std::string_view text) {
  IniProfile profile;
  Keys* section = nullptr;  // made when its first key or its header is read
  std::size_t at = 0;
  while (at < text.size()) {
    if (IsBlankOrLineEnd(text[at])) {
      ++at;
    } else if (text[at] == ';') {
      at = std::min(text.find_first_of(kLineEnds, at), text.size());
    } else if (text[at] == '[') {
      const std::size_t close = text.find(']', at + 1);
      if (close == std::string_view::npos)
        break;
      section = &profile.sections_[std::string(text.substr(at + 1, close - at - 1))];
      at = close + 2;
    } else {
      // The line end is left where it is and skipped as a blank: no character after it is lost,
      // whichever of CR LF, LF or CR ends the line.
      const std::size_t end = text.find_first_of(kLineEnds, at);
      if (end == std::string_view::npos)
        break;
      const std::string_view line = text.substr(at, end - at);
      const std::size_t equals = line.find('=');
      const std::string_view value =
          equals == std::string_view::npos ? std::string_view() : line.substr(equals + 1);
      if (section == nullptr)
        section = &profile.sections_[std::string()];
      (*section)[std::string(line.substr(0, equals))] = std::string(value);
      at = end;
    }
  }
  return profile;
}

std::optional<std::string_view> IniProfile::Value(std::string_view section,
                                                  std::string_view key) const {
  const auto keys = sections_.find(section);
  if (keys == sections_.end())
    return std::nullopt;
  const auto found = keys->second.find(key);
  if (found == keys->second.end())
    return std::nullopt;
  return found->second;
}

std::optional<IniProfile> OpenIniProfile(const std::string& path) {
  std::string text;
  const Status read = ReadScriptFile(path, text);
  if (read != status::kOk && read != status::kEmptyFile)
    return std::nullopt;
  return IniProfile::Parse(text);
}

}  // namespace script

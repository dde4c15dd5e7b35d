#include "base/path.h"

#include <algorithm>

#include "base/ascii_case.h"
#include "base/characters.h"

namespace base {
namespace {

constexpr std::size_t kNone = std::string_view::npos;

// The first "\" or "/" byte, found by a plain scan; kNone when there is none.
std::size_t FirstSeparatorByte(std::string_view text) {
  const auto found =
      std::find_if(text.begin(), text.end(), [](char c) { return c == '\\' || c == '/'; });
  return found == text.end() ? kNone : static_cast<std::size_t>(found - text.begin());
}

// The position of the last "\" that is a character of its own; kNone when there is none.
std::size_t LastSeparator(std::string_view text) {
  std::size_t last = kNone;
  ForEachCharacter(text, [&](std::size_t i) {
    if (text[i] == '\\')
      last = i;
  });
  return last;
}

// As the runtime library splits paths, "/" separates folders as well as "\".
std::size_t LastFolderSeparator(std::string_view text) {
  std::size_t last = kNone;
  ForEachCharacter(text, [&](std::size_t i) {
    if (text[i] == '\\' || text[i] == '/')
      last = i;
  });
  return last;
}

// Windows drops trailing dots and spaces from a name, so "..", "..." and ".. " all lead upwards
// or nowhere good; none of them is a name we unpack.
bool IsParentLike(std::string_view component) {
  const std::size_t dots = std::count(component.begin(), component.end(), '.');
  return dots >= 2 && component.find_first_not_of(". ") == kNone;
}

constexpr std::string_view kDevices[] = {"CON", "PRN", "AUX", "NUL"};
constexpr std::string_view kNumberedDevices[] = {"COM", "LPT"};

}  // namespace

bool EndsWithSeparator(std::string_view text) {
  return EndsWithCharacter(text, '\\');
}

// Joining onto an empty path leaves the component as it is rather than inventing a root.
bool JoinPath(std::string& path, std::size_t capacity, std::string_view component) {
  if (path.size() + component.size() + 2 >= capacity)
    return false;
  const bool path_has = EndsWithSeparator(path);
  const bool component_has = !component.empty() && component.front() == '\\';
  if (path_has && component_has) {
    component.remove_prefix(1);
  } else if (!path_has && !component_has && !path.empty()) {
    path += '\\';
  }
  path += component;
  return true;
}

bool StripFileName(std::string& path) {
  const std::size_t separator = LastSeparator(path);
  if (separator == kNone)
    return false;
  path.resize(separator);
  return true;
}

void StripExtension(std::string& name) {
  if (name.size() < 2)
    return;
  const std::size_t stop = name.size() > 4 ? name.size() - 4 : 1;
  for (std::size_t i = name.size() - 1; i >= stop; --i) {
    if (name[i] == '.') {
      name.resize(i);
      return;
    }
  }
}

std::string FileNameOf(std::string_view path) {
  path = path.substr(0, kPathCapacity);
  // After a drive or stream colon the search goes by bytes; only a path without one is walked by
  // double-byte characters.
  const std::size_t colon = path.rfind(':');
  if (colon != kNone) {
    std::string_view rest = path.substr(colon + 1);
    const std::size_t separator = rest.rfind('\\');
    if (separator != kNone)
      rest.remove_prefix(separator + 1);
    return std::string(rest);
  }
  const std::size_t separator = LastSeparator(path);
  if (separator == kNone)
    return {};
  std::string_view name = path.substr(separator + 1);
  if (name.empty() && path.size() > 1 && path.front() == '\\')
    name = path.substr(1);
  return std::string(name);
}

void SplitDirectoryAndName(std::string_view path, std::string& directory, std::string& name) {
  const std::size_t drive = path.size() >= 2 && path[1] == ':' ? 2 : 0;
  const std::string_view rest = path.substr(drive);
  const std::size_t separator = LastFolderSeparator(rest);
  const std::size_t name_start = separator == kNone ? 0 : separator + 1;
  std::string_view folder = rest.substr(0, name_start);
  if (folder.size() > 1)
    folder.remove_suffix(1);
  directory = std::string(path.substr(0, drive)) + std::string(folder);
  name = std::string(rest.substr(name_start));
}

// Every 0x5C byte counts as a separator here, trail byte or not: that can only refuse a name,
// never let one escape.
bool IsAbsolutePath(std::string_view path) {
  const auto is_separator = [](char c) { return c == '\\' || c == '/'; };
  if (path.size() >= 2 && is_separator(path[0]) && is_separator(path[1]))
    return true;
  const bool letter = path.size() >= 3 &&
                      ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  return letter && path[1] == ':' && is_separator(path[2]);
}

bool IsContainedRelativePath(std::string_view name) {
  if (name.empty() || name.front() == '\\' || name.front() == '/')
    return false;
  if (name.find(':') != kNone)
    return false;
  while (!name.empty()) {
    const std::size_t end = FirstSeparatorByte(name);
    if (IsParentLike(name.substr(0, end)))
      return false;
    name.remove_prefix(end == kNone ? name.size() : end + 1);
  }
  return true;
}

// Windows takes the name up to its first "." (or a stream's ":") without the blanks before it.
bool IsDeviceName(std::string_view component) {
  std::string_view stem = component.substr(0, component.find_first_of(".:"));
  while (!stem.empty() && stem.back() == ' ')
    stem.remove_suffix(1);
  for (const std::string_view device : kDevices) {
    if (EqualsIgnoringCase(stem, device))
      return true;
  }
  if (stem.size() != 4 || stem[3] < '1' || stem[3] > '9')
    return false;
  for (const std::string_view device : kNumberedDevices) {
    if (EqualsIgnoringCase(stem.substr(0, 3), device))
      return true;
  }
  return false;
}

// As in IsContainedRelativePath, every 0x5C byte splits: that can only refuse a name.
bool NamesDevice(std::string_view path) {
  while (!path.empty()) {
    const std::size_t end = FirstSeparatorByte(path);
    if (IsDeviceName(path.substr(0, end)))
      return true;
    path.remove_prefix(end == kNone ? path.size() : end + 1);
  }
  return false;
}

}  // namespace base

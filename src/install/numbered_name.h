#pragma once

#include <optional>
#include <string>

namespace install {

// The highest number tried: a folder full of numbered copies, or a name that the system always
// finds (a device such as "con.1"), must not keep the search going for ever.
inline constexpr unsigned kLastNumberedName = 9999;

// The name beside path that a file in use is moved or staged under: "%s.%d" of path's stem (path
// without the extension of its file name) and the first n = 1, 2, 3, ... for which no file of that
// name exists; a folder of that name does not count. "C:\app\engine.dll" gives "C:\app\engine.1",
// or "C:\app\engine.2" when "C:\app\engine.1" is a file. None when every n up to
// kLastNumberedName is taken.
std::optional<std::string> NumberedFreeName(const std::string& path);

}  // namespace install

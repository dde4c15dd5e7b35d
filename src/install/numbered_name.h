#pragma once

#include <string>

namespace install {

// The name beside path that a file in use is moved or staged under: "%s.%d" of path's stem (path
// without the extension of its file name) and the first n = 1, 2, 3, ... for which no file of that
// name exists; a folder of that name does not count. "C:\app\engine.dll" gives "C:\app\engine.1",
// or "C:\app\engine.2" when "C:\app\engine.1" is a file.
std::string NumberedFreeName(const std::string& path);

}  // namespace install

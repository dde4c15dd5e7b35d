#pragma once

// Where omnipack looks for what it ships with: it is installed as dist/bin/omnipack beside the
// Windows build in dist/win32.

#include <string>

namespace omnipack {

// <folder of omnipack>/../win32/installer.exe
std::string DefaultStubPath();
// <folder of omnipack>/../win32/lang
std::string DefaultLanguageFolder();

}  // namespace omnipack

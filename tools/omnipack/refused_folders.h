#pragma once

// The folders that DELETEDIRECTORY refuses to remove (status 10), as far as a path's text alone
// tells. The installer decides on the machine it runs on: it makes the path full, takes its short
// form and compares it with the roots and with the folders that system has (the Windows folder,
// the system folder, Program Files, the profiles) and every folder that holds one of them. The
// check knows neither the machine nor its folders, only where Windows puts them by default.

#include <string_view>

namespace omnipack {

enum class RefusedFolder {
  kNone,           // the text does not show that the installer refuses it
  kRoot,           // a drive or share root: refused on every machine
  kWindowsFolder,  // C:\WINDOWS, the Windows folder of a system installed in its default place
  kSystemFolder,   // C:\WINDOWS\SYSTEM32, the system folder of such a system of the NT family
};

// What the literal path folder names: any case, "/" or "\", "." and ".." resolved, trailing
// separators dropped, as the installer's full path would be.
RefusedFolder RefusedFolderOf(std::string_view folder);

}  // namespace omnipack

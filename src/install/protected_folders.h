#pragma once

#include <string>

// The folders that no script may remove or empty, whatever it names: a mistaken variable must not
// wipe the system.
namespace install {

// True when folder is a drive or share root, the Windows folder, the system folder, a Program
// Files folder, the root of the user profiles, or a folder that holds one of them. Names are
// compared as the system resolves them: made full (".." and "/" resolved), in their short form,
// without trailing separators, ignoring case.
bool IsProtectedFolder(const std::string& folder);

}  // namespace install

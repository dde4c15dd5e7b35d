#pragma once

#include <windows.h>

#include <optional>
#include <string>

// What the running Windows says about itself: where its own folders are and which version it is.
namespace platform {

// The Windows directory; empty when the system cannot say.
std::string WindowsDirectory();

// The system directory (where the system's own libraries are); empty when the system cannot say.
std::string SystemDirectory();

// The version structure as GetVersionExA fills it; none when the query fails.
std::optional<OSVERSIONINFOA> SystemVersion();

}  // namespace platform

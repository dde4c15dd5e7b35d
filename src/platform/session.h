#pragma once

#include <optional>
#include <string>

// Who runs the installer, on which computer, and the current local date and time as the user's
// locale writes them: the fields of an install log line. Each is none when the system cannot
// give it.
namespace platform {

std::optional<std::string> UserName();
// At most 16 characters.
std::optional<std::string> ComputerName();
// The short date format of the user's default locale.
std::optional<std::string> CurrentDateText();
// The time format of the user's default locale, without seconds.
std::optional<std::string> CurrentTimeText();

}  // namespace platform

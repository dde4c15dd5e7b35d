#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Where GETSCANUTILSPATH finds the sibling command-line scanner: the first folder of the search
// path that holds a whole installation of it.
namespace script {

// The folders of a search path (PATH): split at ";", trimmed, empty ones left out, and left out
// as well those longer than a path buffer holds (259 characters), which no file name can be joined
// to.
std::vector<std::string> SearchPathFolders(std::string_view search_path);

// The first folder of search_path that holds pguard.exe, probe.exe or probepm.exe, and
// DETECT.DAT, REPAIR.DAT and TITLES.DAT, as files, but neither probe16.exe nor probe32.exe (those
// belong to scanners of another kind). The folder as written there, trimmed; none when no folder
// qualifies.
std::optional<std::string> FindScannerFolder(std::string_view search_path);

}  // namespace script

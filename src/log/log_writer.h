#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file.h"

namespace logging {

// A write that would bring the log past this many whole kilobytes (to 103,424 bytes or more)
// first trims it to the whole lines of its last kTrimTargetBytes.
inline constexpr std::int64_t kLogLimitKilobytes = 100;
inline constexpr std::int64_t kTrimTargetBytes = 80 * 1024;

// Appends line to the log at path: opened (shared for reading) by its short form, or created (not
// shared), for this line only, trimmed first when the line would take it over the limit, and
// closed again. short_path is that short form when the caller knows it; empty: looked up now.
// False when the line was lost or only partly written.
bool AppendLogLine(const std::string& path, const std::string& short_path, std::string_view line);

// The short form of the log file's path, for AppendLogLine; the path itself while the file does
// not exist.
std::string LogShortPath(const std::string& path);

// Cuts the open log to one empty line followed by the whole lines of its last kTrimTargetBytes
// (the partial first line of that tail is dropped); a log no longer than that is emptied. Without
// memory the log stays as it is. The file position ends at the end of the log.
void TrimLog(platform::File& log);

}  // namespace logging

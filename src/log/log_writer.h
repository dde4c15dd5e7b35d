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

// The log file. Each line goes at the log's end as it is at that moment, after a trim when the
// line would take it over the limit. Normally the file is opened (shared for reading) for each
// line and closed again; kept open, it stays open between lines, shared for reading and writing,
// so that other programs may still read it and add lines of their own meanwhile.
class LogFile {
 public:
  // Appends line to the log at path: opened by its short form, or created when there is none.
  // short_path is that short form when the caller knows it; empty: looked up now. False when the
  // line was lost or only partly written.
  bool Append(const std::string& path, const std::string& short_path, std::string_view line);

  // Keeps the file open from the next line on, or closes it now.
  void KeepOpen(bool keep);

 private:
  platform::File file_;
  std::string path_;  // the path file_ was opened for
  bool keep_open_ = false;
};

// The short form of the log file's path, for LogFile; the path itself while the file does
// not exist.
std::string LogShortPath(const std::string& path);

// Cuts the open log to one empty line followed by the whole lines of its last kTrimTargetBytes
// (the partial first line of that tail is dropped); a log no longer than that is emptied. Without
// memory the log stays as it is. The file position ends at the end of the log.
void TrimLog(platform::File& log);

}  // namespace logging

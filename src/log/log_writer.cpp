#include "log/log_writer.h"

#include <new>
#include <vector>

#include "platform/short_path.h"

namespace logging {
namespace {

// The writer keeps the log path in a 261-byte buffer.
constexpr std::size_t kPathLimit = 260;

}  // namespace

void TrimLog(platform::File& log) {
  const std::int64_t length = log.Size();
  std::vector<char> tail;
  std::size_t kept_from = 0;
  if (length > kTrimTargetBytes) {
    try {
      tail.resize(kTrimTargetBytes);
    } catch (const std::bad_alloc&) {
      return;
    }
    log.Seek(length - kTrimTargetBytes, platform::SeekOrigin::kBegin);
    tail.resize(log.Read(tail.data(), static_cast<std::uint32_t>(tail.size())));
    kept_from = tail.size();
    for (std::size_t i = 0; i < tail.size(); ++i) {
      if (tail[i] == '\n') {
        kept_from = i + 1;
        break;
      }
    }
  }
  log.SetLength(0);
  if (kept_from < tail.size()) {
    log.Write("\r\n", 2);
    log.Write(tail.data() + kept_from, static_cast<std::uint32_t>(tail.size() - kept_from));
  }
}

std::string LogShortPath(const std::string& path) {
  return platform::ShortPathName(path.substr(0, kPathLimit));
}

bool LogFile::Append(const std::string& path, const std::string& short_path,
                     std::string_view line) {
  if (!file_.IsOpen() || path != path_) {
    const std::string existing = short_path.empty() ? LogShortPath(path) : short_path;
    file_ = keep_open_
                ? platform::File::OpenStream(existing, platform::StreamMode::kUpdate)
                : platform::File::OpenExisting(existing, platform::OpenMode::kReadWriteShareRead);
    // A file that does not exist has no short form: it is made under its own name.
    if (!file_.IsOpen()) {
      const std::string made = path.substr(0, kPathLimit);
      file_ = keep_open_
                  ? platform::File::OpenStream(made, platform::StreamMode::kReadWriteTruncate)
                  : platform::File::Create(made);
    }
    path_ = path;
  }
  const std::int64_t size = file_.Size();
  bool written = false;
  if (size >= 0) {
    const auto length = static_cast<std::int64_t>(line.size());
    if ((size + length) / 1024 > kLogLimitKilobytes)
      TrimLog(file_);
    written = file_.Write(line.data(), static_cast<std::uint32_t>(line.size())) == line.size();
  }
  if (!keep_open_)
    file_.Close();
  return written;
}

void LogFile::KeepOpen(bool keep) {
  keep_open_ = keep;
  if (!keep)
    file_.Close();
}

}  // namespace logging

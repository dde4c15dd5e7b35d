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

bool AppendLogLine(const std::string& path, const std::string& short_path, std::string_view line) {
  platform::File log =
      platform::File::OpenExisting(short_path.empty() ? LogShortPath(path) : short_path,
                                   platform::OpenMode::kReadWriteShareRead);
  // A file that does not exist has no short form: it is made under its own name.
  if (!log.IsOpen())
    log = platform::File::Create(path.substr(0, kPathLimit));
  if (!log.IsOpen())
    return false;
  const std::int64_t size = log.Size();
  if (size < 0)
    return false;
  const auto length = static_cast<std::int64_t>(line.size());
  if ((size + length) / 1024 > kLogLimitKilobytes)
    TrimLog(log);
  return log.Write(line.data(), static_cast<std::uint32_t>(line.size())) == line.size();
}

}  // namespace logging

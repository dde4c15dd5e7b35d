#include "platform/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/posix/native_path.h"

// POSIX has no share modes: every open mode maps to its access rights only.
namespace platform {
namespace {

// Opens path with flags; a folder is refused as Windows refuses to open one as a file.
std::intptr_t OpenPath(const std::string& path, int flags) {
  const int fd = ::open(NativePath(path).c_str(), flags | O_CLOEXEC, 0666);
  if (fd < 0)
    return -1;
  struct stat info;
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    ::close(fd);
    return -1;
  }
  return fd;
}

int OpenExistingFlags(OpenMode mode) {
  switch (mode) {
    case OpenMode::kReadWriteShareRead:
      return O_RDWR;
    case OpenMode::kReadShareRead:
    case OpenMode::kReadShareReadWrite:
    case OpenMode::kReadExclusive:
      return O_RDONLY;
    default:
#ifdef O_PATH
      return O_PATH;  // no data access
#else
      return O_RDONLY;
#endif
  }
}

int StreamFlags(StreamMode mode) {
  switch (mode) {
    case StreamMode::kRead:
      return O_RDONLY;
    case StreamMode::kWriteTruncate:
      return O_WRONLY | O_CREAT | O_TRUNC;
    case StreamMode::kReadWriteTruncate:
      return O_RDWR | O_CREAT | O_TRUNC;
    case StreamMode::kUpdate:
      return O_RDWR;
  }
  return O_RDONLY;
}

int Whence(SeekOrigin origin) {
  switch (origin) {
    case SeekOrigin::kEnd:
      return SEEK_END;
    case SeekOrigin::kCurrent:
      return SEEK_CUR;
    case SeekOrigin::kBegin:
      break;
  }
  return SEEK_SET;
}

int Descriptor(std::intptr_t handle) {
  return static_cast<int>(handle);
}

}  // namespace

File File::Create(const std::string& path) {
  return File(OpenPath(path, O_RDWR | O_CREAT | O_TRUNC));
}

File File::CreateNew(const std::string& path) {
  return File(OpenPath(path, O_RDWR | O_CREAT | O_EXCL));
}

File File::OpenExisting(const std::string& path, OpenMode mode) {
  return File(OpenPath(path, OpenExistingFlags(mode)));
}

File File::OpenOrCreate(const std::string& path, bool& created) {
  File file(OpenPath(path, O_RDWR | O_CREAT | O_EXCL));
  created = file.IsOpen();
  return created ? std::move(file) : File(OpenPath(path, O_RDWR));
}

File File::OpenStream(const std::string& path, StreamMode mode) {
  return File(OpenPath(path, StreamFlags(mode)));
}

std::int64_t File::Seek(std::int64_t offset, SeekOrigin origin) {
  if (!IsOpen())
    return -1;
  return ::lseek(Descriptor(handle_), static_cast<off_t>(offset), Whence(origin));
}

// Read and write loop over short transfers so that, as on Windows, a count below the request
// means end of file (or a full disk), not an interrupted call.
std::uint32_t File::Read(void* buffer, std::uint32_t count) {
  if (!IsOpen())
    return 0;
  auto* bytes = static_cast<char*>(buffer);
  std::uint32_t done = 0;
  while (done < count) {
    const ssize_t got = ::read(Descriptor(handle_), bytes + done, count - done);
    if (got < 0 && errno == EINTR)
      continue;
    if (got < 0)
      return 0;
    if (got == 0)
      break;
    done += static_cast<std::uint32_t>(got);
  }
  return done;
}

std::uint32_t File::Write(const void* buffer, std::uint32_t count) {
  if (!IsOpen())
    return 0;
  const auto* bytes = static_cast<const char*>(buffer);
  std::uint32_t done = 0;
  while (done < count) {
    const ssize_t put = ::write(Descriptor(handle_), bytes + done, count - done);
    if (put < 0 && errno == EINTR)
      continue;
    if (put < 0)
      return 0;
    if (put == 0)
      break;
    done += static_cast<std::uint32_t>(put);
  }
  return done;
}

std::int64_t File::Size() {
  return Seek(0, SeekOrigin::kEnd);
}

bool File::SetLength(std::int64_t length) {
  return Seek(length, SeekOrigin::kBegin) == length &&
         ::ftruncate(Descriptor(handle_), static_cast<off_t>(length)) == 0;
}

std::optional<FileTimes> File::Times() const {
  struct stat info;
  if (!IsOpen() || ::fstat(Descriptor(handle_), &info) != 0)
    return std::nullopt;
  const auto written = static_cast<std::int64_t>(info.st_mtime);
  return FileTimes{written, written};
}

bool File::SetTimes(std::int64_t time, std::optional<std::int64_t>) {
  const timespec stamp{static_cast<time_t>(time), 0};
  const timespec stamps[2] = {stamp, stamp};
  return IsOpen() && ::futimens(Descriptor(handle_), stamps) == 0;
}

bool File::Flush() {
  return IsOpen() && ::fsync(Descriptor(handle_)) == 0;
}

bool File::Close() {
  if (!IsOpen())
    return true;
  return ::close(Descriptor(std::exchange(handle_, kInvalid))) == 0;
}

}  // namespace platform

#include <windows.h>

#include <utility>

#include "platform/file.h"
#include "platform/win32/file_time_units.h"

namespace platform {
namespace {

struct Access {
  DWORD rights;
  DWORD share;
  DWORD disposition;
};

// The open modes of the low-level file table.
Access OpenExistingAccess(OpenMode mode) {
  switch (mode) {
    case OpenMode::kReadWriteShareRead:
      return {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING};
    case OpenMode::kReadShareRead:
      return {GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING};
    case OpenMode::kReadShareReadWrite:
      return {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING};
    case OpenMode::kReadExclusive:
      return {GENERIC_READ, 0, OPEN_EXISTING};
    default:
      return {0, FILE_SHARE_READ, OPEN_EXISTING};
  }
}

// The runtime library opens its streams shared for reading and writing.
Access StreamAccess(StreamMode mode) {
  constexpr DWORD kShared = FILE_SHARE_READ | FILE_SHARE_WRITE;
  switch (mode) {
    case StreamMode::kRead:
      return {GENERIC_READ, kShared, OPEN_EXISTING};
    case StreamMode::kWriteTruncate:
      return {GENERIC_WRITE, kShared, CREATE_ALWAYS};
    case StreamMode::kReadWriteTruncate:
      return {GENERIC_READ | GENERIC_WRITE, kShared, CREATE_ALWAYS};
    case StreamMode::kUpdate:
      return {GENERIC_READ | GENERIC_WRITE, kShared, OPEN_EXISTING};
  }
  return {GENERIC_READ, kShared, OPEN_EXISTING};
}

std::intptr_t OpenPath(const std::string& path, const Access& access) {
  const HANDLE handle = ::CreateFileA(path.c_str(), access.rights, access.share, nullptr,
                                      access.disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  return reinterpret_cast<std::intptr_t>(handle);
}

HANDLE NativeHandle(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

DWORD MoveMethod(SeekOrigin origin) {
  switch (origin) {
    case SeekOrigin::kEnd:
      return FILE_END;
    case SeekOrigin::kCurrent:
      return FILE_CURRENT;
    case SeekOrigin::kBegin:
      return FILE_BEGIN;
  }
  return FILE_BEGIN;
}

}  // namespace

static_assert(sizeof(HANDLE) == sizeof(std::intptr_t));

File File::Create(const std::string& path) {
  return File(OpenPath(path, {GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS}));
}

File File::CreateNew(const std::string& path) {
  return File(OpenPath(path, {GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW}));
}

File File::OpenExisting(const std::string& path, OpenMode mode) {
  return File(OpenPath(path, OpenExistingAccess(mode)));
}

File File::OpenOrCreate(const std::string& path, bool& created) {
  File file(OpenPath(path, {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS}));
  created = file.IsOpen() && ::GetLastError() != ERROR_ALREADY_EXISTS;
  return file;
}

File File::OpenStream(const std::string& path, StreamMode mode) {
  return File(OpenPath(path, StreamAccess(mode)));
}

std::int64_t File::Seek(std::int64_t offset, SeekOrigin origin) {
  LARGE_INTEGER distance;
  distance.QuadPart = offset;
  LARGE_INTEGER position;
  if (!IsOpen() ||
      !::SetFilePointerEx(NativeHandle(handle_), distance, &position, MoveMethod(origin))) {
    return -1;
  }
  return position.QuadPart;
}

std::uint32_t File::Read(void* buffer, std::uint32_t count) {
  DWORD done = 0;
  if (!IsOpen() || !::ReadFile(NativeHandle(handle_), buffer, count, &done, nullptr))
    return 0;
  return done;
}

std::uint32_t File::Write(const void* buffer, std::uint32_t count) {
  DWORD done = 0;
  if (!IsOpen() || !::WriteFile(NativeHandle(handle_), buffer, count, &done, nullptr))
    return 0;
  return done;
}

std::int64_t File::Size() {
  return Seek(0, SeekOrigin::kEnd);
}

bool File::SetLength(std::int64_t length) {
  return Seek(length, SeekOrigin::kBegin) == length && ::SetEndOfFile(NativeHandle(handle_));
}

std::optional<FileTimes> File::Times() const {
  FILETIME created;
  FILETIME written;
  if (!IsOpen() || !::GetFileTime(NativeHandle(handle_), &created, nullptr, &written))
    return std::nullopt;
  return FileTimes{UnixTime(created), UnixTime(written)};
}

bool File::SetTimes(std::int64_t time, std::optional<std::int64_t> creation) {
  const FILETIME stamp = FileTime(time);
  const FILETIME created = FileTime(creation.value_or(0));
  return IsOpen() &&
         ::SetFileTime(NativeHandle(handle_), creation ? &created : nullptr, &stamp, &stamp) != 0;
}

bool File::Flush() {
  return IsOpen() && ::FlushFileBuffers(NativeHandle(handle_)) != 0;
}

bool File::Close() {
  if (!IsOpen())
    return true;
  return ::CloseHandle(NativeHandle(std::exchange(handle_, kInvalid))) != 0;
}

}  // namespace platform

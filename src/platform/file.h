#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace platform {

// The open modes of the installer's low-level file table.
enum class OpenMode : int {
  kAttributesOnly = 0,      // no data access, share read
  kReadWriteShareRead = 1,  // read and write, share read
  kReadShareRead = 2,       // read, share read
  kReadShareReadWrite = 4,  // read, share read and write
  kReadExclusive = 7,       // read, no sharing
};

// The modes of the runtime library's buffered streams ("rb", "wb", "w+b", "r+b"): shared for
// reading and writing, as the runtime opens them.
enum class StreamMode {
  kRead,               // existing file, read only
  kWriteTruncate,      // created or truncated, write only
  kReadWriteTruncate,  // created or truncated, read and write
  kUpdate,             // existing file, read and write
};

enum class SeekOrigin : int { kBegin = 0, kEnd = 1, kCurrent = 2 };

// Seconds since 1970-01-01 UTC. Where the platform keeps no creation time, the last write time
// stands for it.
struct FileTimes {
  std::int64_t creation = 0;
  std::int64_t write = 0;
};

// One open file. Paths use "\" as the separator on every platform.
class File {
 public:
  File() = default;
  ~File() { Close(); }
  File(File&& other) noexcept : handle_(std::exchange(other.handle_, kInvalid)) {}
  File& operator=(File&& other) noexcept {
    if (this != &other) {
      Close();
      handle_ = std::exchange(other.handle_, kInvalid);
    }
    return *this;
  }
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // Read and write, not shared, always created (truncated when it exists).
  static File Create(const std::string& path);
  // Read and write, not shared; fails when anything of that name exists.
  static File CreateNew(const std::string& path);
  static File OpenExisting(const std::string& path, OpenMode mode);
  // Read and write, shared for reading: the file as it is, or created when there is none. created
  // tells which.
  static File OpenOrCreate(const std::string& path, bool& created);
  static File OpenStream(const std::string& path, StreamMode mode);

  bool IsOpen() const { return handle_ != kInvalid; }
  // Returns the new position, or -1 when the platform refuses.
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin);
  // Return the number of bytes moved; 0 when the platform call fails.
  std::uint32_t Read(void* buffer, std::uint32_t count);
  std::uint32_t Write(const void* buffer, std::uint32_t count);
  // Seeks to the end and returns that position (the position stays there); -1 on failure.
  std::int64_t Size();
  // Seeks to length and ends the file there.
  bool SetLength(std::int64_t length);
  // None when the times cannot be read.
  std::optional<FileTimes> Times() const;
  // Sets the last access and write times to time, and the creation time when it is given (where
  // the platform keeps one). They stay as set when the file is closed.
  bool SetTimes(std::int64_t time, std::optional<std::int64_t> creation = std::nullopt);
  // Waits until everything written has reached the disk; false when it could not be made to.
  bool Flush();
  // True when the handle closed cleanly; closing a closed file is true.
  bool Close();

 private:
  static constexpr std::intptr_t kInvalid = -1;
  explicit File(std::intptr_t handle) : handle_(handle) {}
  std::intptr_t handle_ = kInvalid;
};

}  // namespace platform

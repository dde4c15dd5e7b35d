#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace platform {

// Attribute bits in the installer's own encoding.
enum AttributeBit : std::uint32_t {
  kAttrArchive = 0x01,
  kAttrFolder = 0x02,
  kAttrHidden = 0x04,
  kAttrNormal = 0x08,
  kAttrReadOnly = 0x10,
  kAttrSystem = 0x20,
  kAttrCompressed = 0x80,
  kAttrOffline = 0x200,
};

bool RemoveFile(const std::string& path);
bool RenameFile(const std::string& from, const std::string& to);
bool IsFile(const std::string& path);
bool IsFolder(const std::string& path);
std::optional<std::uint32_t> AttributeBits(const std::string& path);

enum class CreateFolderResult { kCreated, kExists, kFailed };
CreateFolderResult CreateFolder(const std::string& path);
bool RemoveFolder(const std::string& path);

// The user's temporary directory as the platform gives it (on Windows with a trailing "\").
std::string TempDirectory();
// Creates a new empty file with a unique name "<prefix>XXXX.tmp" in folder; empty on failure.
std::string CreateTempFile(const std::string& folder, const std::string& prefix);

// File times as seconds since 1970-01-01 UTC.
struct FolderEntry {
  bool is_folder = false;
  std::string name;
  std::string short_name;  // 8.3 alias; empty when there is none
  std::int64_t creation_time = 0;
  std::int64_t access_time = 0;
  std::int64_t write_time = 0;
  std::uint32_t size = 0;        // low 32 bits
  std::uint32_t attributes = 0;  // the installer's encoding
};
// Calls visit for every entry of folder except "." and ".."; stops when visit returns false.
// False when the folder cannot be enumerated.
bool ListFolder(const std::string& folder, const std::function<bool(const FolderEntry&)>& visit);

// Sets the access and modification time of a file; seconds since 1970-01-01 UTC.
bool SetFileTimes(const std::string& path, std::int64_t time);
std::optional<std::int64_t> FileModificationTime(const std::string& path);

}  // namespace platform

#include <windows.h>

#include "platform/filesystem.h"
#include "platform/win32/file_time_units.h"
#include "platform/win32/unique_handle.h"

namespace platform {
namespace {

std::uint32_t AttributeBitsOf(DWORD attributes) {
  static constexpr struct {
    DWORD system;
    std::uint32_t ours;
  } kMap[] = {
      {FILE_ATTRIBUTE_ARCHIVE, kAttrArchive},       {FILE_ATTRIBUTE_DIRECTORY, kAttrFolder},
      {FILE_ATTRIBUTE_HIDDEN, kAttrHidden},         {FILE_ATTRIBUTE_NORMAL, kAttrNormal},
      {FILE_ATTRIBUTE_READONLY, kAttrReadOnly},     {FILE_ATTRIBUTE_SYSTEM, kAttrSystem},
      {FILE_ATTRIBUTE_COMPRESSED, kAttrCompressed}, {FILE_ATTRIBUTE_OFFLINE, kAttrOffline},
  };
  std::uint32_t bits = 0;
  for (const auto& entry : kMap) {
    if ((attributes & entry.system) != 0)
      bits |= entry.ours;
  }
  return bits;
}

std::optional<DWORD> SystemAttributes(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return std::nullopt;
  return attributes;
}

std::string WithSeparator(std::string folder) {
  if (!folder.empty() && folder.back() != '\\' && folder.back() != '/')
    folder += '\\';
  return folder;
}

}  // namespace

bool RemoveFile(const std::string& path) {
  return ::DeleteFileA(path.c_str()) != 0;
}

bool RenameFile(const std::string& from, const std::string& to) {
  return ::MoveFileA(from.c_str(), to.c_str()) != 0;
}

bool IsFile(const std::string& path) {
  const auto attributes = SystemAttributes(path);
  return attributes && (*attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool IsFolder(const std::string& path) {
  const auto attributes = SystemAttributes(path);
  return attributes && (*attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::optional<std::uint32_t> AttributeBits(const std::string& path) {
  const auto attributes = SystemAttributes(path);
  if (!attributes)
    return std::nullopt;
  return AttributeBitsOf(*attributes);
}

CreateFolderResult CreateFolder(const std::string& path) {
  if (::CreateDirectoryA(path.c_str(), nullptr))
    return CreateFolderResult::kCreated;
  return ::GetLastError() == ERROR_ALREADY_EXISTS ? CreateFolderResult::kExists
                                                  : CreateFolderResult::kFailed;
}

bool RemoveFolder(const std::string& path) {
  return ::RemoveDirectoryA(path.c_str()) != 0;
}

std::string TempDirectory() {
  char buffer[MAX_PATH + 1];
  const DWORD length = ::GetTempPathA(sizeof buffer, buffer);
  if (length == 0 || length >= sizeof buffer)
    return {};
  return std::string(buffer, length);
}

std::string CreateTempFile(const std::string& folder, const std::string& prefix) {
  char buffer[MAX_PATH];
  if (::GetTempFileNameA(folder.c_str(), prefix.c_str(), 0, buffer) == 0)
    return {};
  return buffer;
}

bool ListFolder(const std::string& folder, const std::function<bool(const FolderEntry&)>& visit) {
  const std::string pattern = WithSeparator(folder) + "*.*";
  WIN32_FIND_DATAA data;
  const FindHandle find(::FindFirstFileA(pattern.c_str(), &data));
  if (!find.IsOpen()) {
    // A drive root with nothing on it has no entries at all, not even "." and "..".
    return ::GetLastError() == ERROR_FILE_NOT_FOUND;
  }
  do {
    const std::string name = data.cFileName;
    if (name == "." || name == "..")
      continue;
    FolderEntry entry;
    entry.is_folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.name = name;
    entry.short_name = data.cAlternateFileName;
    entry.creation_time = UnixTime(data.ftCreationTime);
    entry.access_time = UnixTime(data.ftLastAccessTime);
    entry.write_time = UnixTime(data.ftLastWriteTime);
    entry.size = data.nFileSizeLow;
    entry.attributes = AttributeBitsOf(data.dwFileAttributes);
    if (!visit(entry))
      break;
  } while (::FindNextFileA(find.Get(), &data));
  return true;
}

bool SetFileTimes(const std::string& path, std::int64_t time) {
  const FileHandle file(::CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.IsOpen())
    return false;
  const FILETIME stamp = FileTime(time);
  return ::SetFileTime(file.Get(), nullptr, &stamp, &stamp) != 0;
}

std::optional<std::int64_t> FileModificationTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
    return std::nullopt;
  return UnixTime(data.ftLastWriteTime);
}

}  // namespace platform

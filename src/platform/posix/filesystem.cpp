#include "platform/filesystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>

#include "platform/posix/native_path.h"

namespace platform {
namespace {

std::optional<struct stat> StatOf(const std::string& path) {
  struct stat info;
  if (::stat(NativePath(path).c_str(), &info) != 0)
    return std::nullopt;
  return info;
}

// The host has only folders, files and permissions: a file counts as archived, as a file newly
// written on Windows does, and as read-only when its owner may not write it.
std::uint32_t AttributeBitsOf(const struct stat& info) {
  std::uint32_t bits = S_ISDIR(info.st_mode) ? kAttrFolder : kAttrArchive;
  if ((info.st_mode & S_IWUSR) == 0)
    bits |= kAttrReadOnly;
  return bits;
}

std::string WithSeparator(std::string folder) {
  if (!folder.empty() && folder.back() != '\\' && folder.back() != '/')
    folder += '\\';
  return folder;
}

struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

}  // namespace

bool RemoveFile(const std::string& path) {
  return ::unlink(NativePath(path).c_str()) == 0;
}

// Like the Windows move, a rename never replaces an existing target. A file system without the
// no-replace flag gets a check before the plain rename.
bool RenameFile(const std::string& from, const std::string& to) {
  const std::string source = NativePath(from);
  const std::string target = NativePath(to);
  if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
    return true;
  }
  if (errno != EINVAL)
    return false;
  struct stat info;
  return ::lstat(target.c_str(), &info) != 0 && ::rename(source.c_str(), target.c_str()) == 0;
}

bool IsFile(const std::string& path) {
  const auto info = StatOf(path);
  return info && !S_ISDIR(info->st_mode);
}

bool IsFolder(const std::string& path) {
  const auto info = StatOf(path);
  return info && S_ISDIR(info->st_mode);
}

std::optional<std::uint32_t> AttributeBits(const std::string& path) {
  const auto info = StatOf(path);
  if (!info)
    return std::nullopt;
  return AttributeBitsOf(*info);
}

CreateFolderResult CreateFolder(const std::string& path) {
  if (::mkdir(NativePath(path).c_str(), 0777) == 0)
    return CreateFolderResult::kCreated;
  return errno == EEXIST ? CreateFolderResult::kExists : CreateFolderResult::kFailed;
}

bool RemoveFolder(const std::string& path) {
  return ::rmdir(NativePath(path).c_str()) == 0;
}

std::string TempDirectory() {
  const char* variable = std::getenv("TMPDIR");
  std::string folder = (variable != nullptr && *variable != '\0') ? variable : "/tmp";
  for (char& c : folder) {
    if (c == '/')
      c = '\\';
  }
  return WithSeparator(folder);
}

// Follows the Windows temporary-file naming: the first three characters of the prefix, one to
// four hexadecimal digits and ".tmp", the number counting on from a time-based start until a
// name is free.
std::string CreateTempFile(const std::string& folder, const std::string& prefix) {
  const std::string stem = WithSeparator(folder) + prefix.substr(0, 3);
  const unsigned start =
      static_cast<unsigned>(std::time(nullptr)) ^ static_cast<unsigned>(::getpid());
  for (unsigned step = 0; step < 0x10000; ++step) {
    const unsigned number = (start + step) & 0xFFFF;
    if (number == 0)
      continue;
    char digits[8];
    std::snprintf(digits, sizeof digits, "%X", number);
    const std::string path = stem + digits + ".tmp";
    const int fd = ::open(NativePath(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      return path;
    }
    if (errno != EEXIST)
      break;
  }
  return {};
}

bool ListFolder(const std::string& folder, const std::function<bool(const FolderEntry&)>& visit) {
  const std::string native_folder = NativePath(WithSeparator(folder));
  std::unique_ptr<DIR, DirCloser> dir(::opendir(native_folder.c_str()));
  if (!dir)
    return false;
  while (const dirent* item = ::readdir(dir.get())) {
    const std::string name = item->d_name;
    if (name == "." || name == "..")
      continue;
    struct stat info;
    if (::lstat((native_folder + name).c_str(), &info) != 0)
      continue;
    FolderEntry entry;
    entry.is_folder = S_ISDIR(info.st_mode);
    entry.name = name;
    entry.creation_time =
        info.st_ctime;  // the host keeps no creation time; status change is closest
    entry.access_time = info.st_atime;
    entry.write_time = info.st_mtime;
    entry.size = static_cast<std::uint32_t>(info.st_size);
    entry.attributes = AttributeBitsOf(info);
    if (!visit(entry))
      break;
  }
  return true;
}

bool SetFileTimes(const std::string& path, std::int64_t time) {
  const auto seconds = static_cast<time_t>(time);
  const utimbuf stamp{seconds, seconds};
  return ::utime(NativePath(path).c_str(), &stamp) == 0;
}

std::optional<std::int64_t> FileModificationTime(const std::string& path) {
  const auto info = StatOf(path);
  if (!info)
    return std::nullopt;
  return static_cast<std::int64_t>(info->st_mtime);
}

}  // namespace platform

#include "install/atomic_file.h"

#include <windows.h>

#include <utility>

#include "base/ascii_case.h"
#include "base/hex_text.h"
#include "base/path.h"
#include "platform/filesystem.h"
#include "platform/win32/file_moves.h"

namespace install {
namespace {

// Names tried before the folder is taken to refuse new files.
constexpr unsigned kNameAttempts = 64;

// "~op" and up to five hexadecimal digits with the extension ".tmp": an 8.3 name on every file
// system. The digits start from the process and count on through the run, so that names stay
// apart.
std::string NextName() {
  static unsigned counter = ::GetCurrentProcessId() * 2654435761u;
  return "~op" + base::HexText(++counter & 0xFFFFF) + ".tmp";
}

// The name an entry of target's name was once unpacked through: target's last three characters
// replaced by "tmp". A file of that name may belong to someone else and is never taken.
bool IsScratchNameOf(const std::string& name, const std::string& target) {
  const std::string target_name = base::FileNameOf(target);
  return target_name.size() >= 3 &&
         base::EqualsIgnoringCase(name, target_name.substr(0, target_name.size() - 3) + "tmp");
}

// name in target's folder; empty when the path would not fit.
std::string PathBeside(const std::string& target, const std::string& name) {
  std::string path = target;
  if (!base::StripFileName(path))
    return name;
  return base::JoinPath(path, base::kPathCapacity, name) ? path : std::string();
}

}  // namespace

AtomicFile::AtomicFile(std::string target) : target_(std::move(target)) {
  for (unsigned attempt = 0; attempt < kNameAttempts && !file_.IsOpen(); ++attempt) {
    const std::string name = NextName();
    if (base::EqualsIgnoringCase(name, base::FileNameOf(target_)) ||
        IsScratchNameOf(name, target_)) {
      continue;
    }
    path_ = PathBeside(target_, name);
    if (path_.empty())
      break;
    file_ = platform::File::CreateNew(path_);
    // Only a name that is taken is worth another try.
    if (!file_.IsOpen() && ::GetLastError() != ERROR_FILE_EXISTS &&
        ::GetLastError() != ERROR_ALREADY_EXISTS) {
      break;
    }
  }
  if (!file_.IsOpen())
    path_.clear();
}

AtomicFile::~AtomicFile() {
  if (committed_ || path_.empty())
    return;
  file_.Close();
  platform::RemoveFile(path_);
}

bool AtomicFile::Reopen() {
  if (!file_.IsOpen() && !path_.empty() && !committed_)
    file_ = platform::File::OpenExisting(path_, platform::OpenMode::kReadWriteShareRead);
  return file_.IsOpen();
}

bool AtomicFile::Commit(bool flush, std::optional<std::uint32_t> attributes,
                        bool replace_existing) {
  if (path_.empty())
    return false;
  if (file_.IsOpen() && ((flush && !file_.Flush()) || !file_.Close()))
    return false;
  if (attributes)
    ::SetFileAttributesA(path_.c_str(), *attributes);
  if (!platform::RenameNow(path_, target_, replace_existing))
    return false;
  committed_ = true;
  return true;
}

}  // namespace install

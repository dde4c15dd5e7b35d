#include "platform/win32/file_moves.h"

#include <windows.h>

#include <string_view>

#include "base/ascii_case.h"
#include "platform/file.h"
#include "platform/filesystem.h"
#include "platform/short_path.h"
#include "platform/win32/wininit_file.h"

namespace platform {
namespace {

// The 9x start-up reads each WININIT.INI line, CR LF included, into a 261-byte buffer.
constexpr std::size_t kRenameLineLimit = 260;

// A line of the "[rename]" section: the file from goes to to at restart; "NUL" as to deletes it.
std::string RenameLine(std::string_view to, std::string_view from) {
  std::string line;
  line.append(to).append("=").append(from).append("\r\n");
  return line;
}

// The system gives a short name only for a file that exists: a target that does not exist yet is
// stood in for by an empty placeholder while it is asked.
std::string ShortTargetName(const std::string& path) {
  if (IsFile(path))
    return ShortPathName(path);
  File placeholder = File::Create(path);
  std::string short_path = ShortPathName(path);
  if (placeholder.IsOpen()) {
    placeholder.Close();
    RemoveFile(path);
  }
  return short_path;
}

// True when two paths of existing files name the same file, whatever their letter case or their
// mix of short and long names.
bool SameFile(const std::string& a, const std::string& b) {
  return base::EqualsIgnoringCase(ShortPathName(a), ShortPathName(b));
}

// One entry of the NT family's list of delayed moves; a null to deletes from.
bool QueueDelayedMove(const std::string& from, const char* to) {
  return ::MoveFileExA(from.c_str(), to, MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
}

}  // namespace

bool RenameNow(const std::string& from, const std::string& to, bool replace_existing,
               SystemFamily family) {
  if (family != SystemFamily::kNine) {
    // Write-through: the rename has reached the disk when the call returns.
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace_existing ? MOVEFILE_REPLACE_EXISTING : 0);
    return ::MoveFileExA(from.c_str(), to.c_str(), flags) != 0;
  }
  // MoveFileA never replaces. The old file goes first, but only when the source is there to take
  // its name and is not that very file under another name.
  if (replace_existing && IsFile(from) && IsFile(to) && !SameFile(from, to) && !RemoveFile(to))
    return false;
  return RenameFile(from, to);
}

Status DeleteAtRestart(const std::string& path, SystemFamily family) {
  switch (family) {
    case SystemFamily::kNt:
      return QueueDelayedMove(path, nullptr) ? status::kOk : status::kNoRights;
    case SystemFamily::kNine:
      return AddRenameLines(RenameLine("NUL", ShortPathName(path)));
    case SystemFamily::kOther:
      break;
  }
  return status::kWriteFailed;
}

Status MoveAtRestart(const std::string& from, const std::string& to, SystemFamily family) {
  switch (family) {
    case SystemFamily::kNt:
      // The deletion of a target that does not exist yet fails harmlessly.
      QueueDelayedMove(to, nullptr);
      return QueueDelayedMove(from, to.c_str()) ? status::kOk : status::kNoRights;
    case SystemFamily::kNine: {
      const std::string short_to = ShortTargetName(to);
      const std::string deletion = RenameLine("NUL", short_to);
      const std::string move = RenameLine(short_to, ShortPathName(from));
      // The start-up would cut a longer line, and a cut path deletes or moves another file.
      if (deletion.size() > kRenameLineLimit || move.size() > kRenameLineLimit)
        return status::kLineTooLong;
      return AddRenameLines(deletion + move);
    }
    case SystemFamily::kOther:
      break;
  }
  return status::kWriteFailed;
}

}  // namespace platform

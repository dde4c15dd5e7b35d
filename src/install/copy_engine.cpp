#include "install/copy_engine.h"

#include <windows.h>

#include <cstdint>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/path.h"
#include "install/numbered_name.h"
#include "install/restart_replace.h"
#include "log/messages.h"
#include "log/percent_progress.h"
#include "platform/block_copy.h"
#include "platform/file.h"
#include "platform/filesystem.h"
#include "platform/win32/file_moves.h"

namespace install {
namespace {

using platform::File;
using platform::OpenMode;

constexpr std::uint32_t kBackupBlockSize = 20480;
constexpr std::uint32_t kCopyBlockSize = 10240;
// Backup paths are built one byte longer than other paths.
constexpr std::size_t kBackupPathCapacity = 261;

// A transfer buffer of size bytes; empty when memory runs out.
std::vector<std::uint8_t> TransferBuffer(std::uint32_t size) {
  std::vector<std::uint8_t> buffer;
  try {
    buffer.resize(size);
  } catch (const std::bad_alloc&) {
    buffer.clear();
  }
  return buffer;
}

// Streams all of from, from its start, into to at its position, one buffer at a time; written
// counts the bytes that reached to. The copy runs to the end of from's size whatever fails
// (kReadFailed, kWriteFailed: of the last block that fell short). progress as for CopyBlocks.
Status StreamCopy(File& from, File& to, std::vector<std::uint8_t>& buffer, std::int64_t& written,
                  const platform::PassProgress& progress = {}) {
  written = 0;
  const std::int64_t size = from.Size();
  if (size < 0 || from.Seek(0, platform::SeekOrigin::kBegin) != 0)
    return status::kReadFailed;
  const platform::BlockCopyResult copied = platform::CopyBlocks(
      from, to, static_cast<std::uint64_t>(size), buffer, platform::ShortBlock::kGoOn, progress);
  written = static_cast<std::int64_t>(copied.written);
  return copied.status;
}

// Gives the file to the modification time of the file from, before to is closed. A file freshly
// extracted into the package folder was created just now but carries the package's modification
// time; a destination copied from it (with_creation) then takes that time as its creation time as
// well. Best effort.
void TakeTimes(const File& from, File& to, bool with_creation) {
  const std::optional<platform::FileTimes> times = from.Times();
  if (!times)
    return;
  const bool created_later = with_creation && times->creation > times->write;
  to.SetTimes(times->write,
              created_later ? std::optional<std::int64_t>(times->write) : std::nullopt);
}

// Whether the open that just failed found no file there (rather than one it may not open).
bool FoundNoFile() {
  const DWORD error = ::GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Puts a destination's old content back from the backup that the calling command made, with its
// old modification time, which the backup kept.
bool RestoreFromBackup(const std::string& destination, const std::string& backup,
                       std::vector<std::uint8_t>& buffer) {
  File from = File::OpenExisting(backup, OpenMode::kReadShareRead);
  File to = File::OpenExisting(destination, OpenMode::kReadWriteShareRead);
  std::int64_t written = 0;
  if (!from.IsOpen() || !to.IsOpen() || StreamCopy(from, to, buffer, written) != status::kOk ||
      !to.SetLength(written)) {
    return false;
  }
  TakeTimes(from, to, false);
  return to.Close();
}

// Copies the destination, open for reading at from (none: it could not be opened), into the
// backup directory; the statuses of BackupFile.
Status CopyToBackup(script::ScriptContext& context, const std::string& destination, File& from,
                    std::string* made) {
  std::string name = base::FileNameOf(destination);
  if (name.empty())
    name = destination;
  std::string backup = context.backup_directory.substr(0, kBackupPathCapacity - 1);
  if (!base::JoinPath(backup, kBackupPathCapacity, name))
    return status::kBackupFailed;
  context.env.reporter.LogMessage(message::kBackingUp, backup);
  if (!from.IsOpen())
    return status::kBackupFailed;
  File to = File::Create(backup);
  if (!to.IsOpen() && platform::RemoveFile(backup))
    to = File::Create(backup);  // an earlier backup that may not be overwritten (read-only)
  if (!to.IsOpen())
    return status::kBackupFailed;

  std::vector<std::uint8_t> buffer = TransferBuffer(kBackupBlockSize);
  if (buffer.empty()) {
    to.Close();
    platform::RemoveFile(backup);
    return status::kNoMemory;
  }
  std::int64_t written = 0;
  Status result = StreamCopy(from, to, buffer, written);
  if (result == status::kOk)
    TakeTimes(from, to, false);
  if (!to.Close() && result == status::kOk)
    result = status::kWriteFailed;
  if (result != status::kOk) {
    platform::RemoveFile(backup);
    return result;
  }
  if (made != nullptr)
    *made = backup;
  return status::kOk;
}

// Copies the open source over the open destination (created: made for this copy) from its start;
// the statuses and the undoing of CopyIntoPlace.
Status CopyOver(script::ScriptContext& context, const std::string& destination, File& from,
                File& to, bool created, const std::string& backup) {
  std::vector<std::uint8_t> buffer = TransferBuffer(kCopyBlockSize);
  if (buffer.empty() || to.Seek(0, platform::SeekOrigin::kBegin) != 0) {
    to.Close();
    if (created)
      platform::RemoveFile(destination);
    return buffer.empty() ? status::kNoMemory : status::kWriteFailed;
  }
  context.env.reporter.ReportProgress(message::kReplacingFile, destination);
  context.env.reporter.LogMessage(message::kReplacingFile, destination);
  std::int64_t written = 0;
  Status result = StreamCopy(
      from, to, buffer, written,
      logging::PercentProgress(context.env.reporter, message::kReplacingFile, destination));
  // A longer old file must not leave its tail behind the new content.
  if (result == status::kOk && !created && !to.SetLength(written))
    result = status::kWriteFailed;
  if (result == status::kOk)
    TakeTimes(from, to, true);
  if (!to.Close() && result == status::kOk)
    result = status::kWriteFailed;
  if (result != status::kOk) {
    if (!backup.empty() && RestoreFromBackup(destination, backup, buffer))
      context.env.reporter.LogMessage(message::kRestoredFromBackup, destination);
    else if (created)
      platform::RemoveFile(destination);
  }
  return result;
}

// A destination that cannot be opened for writing nor created is in use: this and every later
// installing command leave their files for the restart.
Status LeaveForRestart(script::ScriptContext& context) {
  context.env.state.direct_copy_mode = false;
  context.env.state.reboot_not_needed = false;
  return status::kNoRun;
}

}  // namespace

Status BackupFile(script::ScriptContext& context, const std::string& destination,
                  std::string* made) {
  if (made != nullptr)
    made->clear();
  // Without a backup directory (SETBACKUPDIR has not run) there is nowhere safe to put a copy;
  // the command goes on without one rather than writing beside some other folder.
  if (context.backup_directory.empty())
    return status::kOk;
  // The destination is opened first so that a file that cannot be read leaves an earlier backup
  // of the same name in place; one that is not there (or is a folder) needs no backup.
  File from = File::OpenExisting(destination, OpenMode::kReadShareRead);
  if (!from.IsOpen() && (FoundNoFile() || !platform::IsFile(destination)))
    return status::kOk;
  return CopyToBackup(context, destination, from, made);
}

Status CopyIntoPlace(script::ScriptContext& context, const std::string& destination,
                     const std::string& source, const std::string& backup) {
  File from = File::OpenExisting(source, OpenMode::kReadShareRead);
  if (!from.IsOpen())
    return status::kOk;
  bool created = false;
  File to = File::OpenOrCreate(destination, created);
  if (!to.IsOpen())
    return LeaveForRestart(context);
  return CopyOver(context, destination, from, to, created, backup);
}

Status BackUpAndPlace(script::ScriptContext& context, const std::string& destination,
                      std::string& source, File& source_file) {
  // The destination is opened (or created) once, and backed up through that handle: a file that
  // is new needs neither a backup nor a second lookup of its name.
  File from = std::move(source_file);
  File to;
  bool created = false;
  if (context.env.state.direct_copy_mode) {
    if (!from.IsOpen())
      from = File::OpenExisting(source, OpenMode::kReadShareRead);
    if (from.IsOpen())
      to = File::OpenOrCreate(destination, created);
  }
  std::string backup;
  if (!to.IsOpen()) {
    const bool in_use = context.env.state.direct_copy_mode && from.IsOpen();
    from.Close();
    // Nothing to copy, the destination in use, or replacement at restart already chosen.
    const Status backed_up = BackupFile(context, destination, &backup);
    if (backed_up != status::kOk)
      return backed_up;
    if (in_use)
      LeaveForRestart(context);
    return PlaceFile(context, destination, source, backup);
  }
  if (!created && !context.backup_directory.empty()) {
    const Status backed_up = CopyToBackup(context, destination, to, &backup);
    if (backed_up != status::kOk)
      return backed_up;
  }
  return CopyOver(context, destination, from, to, created, backup);
}

bool ClearDestination(const std::string& destination) {
  if (!platform::IsFile(destination))
    return true;
  if (File::OpenExisting(destination, OpenMode::kReadWriteShareRead).IsOpen())
    return platform::RemoveFile(destination);
  // In use: a running program may still have it open, but the name can be moved aside to make
  // room, and the old file goes at the next restart.
  const std::optional<std::string> aside = NumberedFreeName(destination);
  if (!aside || !platform::RenameNow(destination, *aside, true))
    return false;
  platform::DeleteAtRestart(*aside);
  return true;
}

Status PlaceFile(script::ScriptContext& context, const std::string& destination,
                 std::string& source, const std::string& backup) {
  if (context.env.state.direct_copy_mode) {
    const Status copied = CopyIntoPlace(context, destination, source, backup);
    // A destination in use (33) has just switched direct-copy mode off.
    if (context.env.state.direct_copy_mode)
      return copied;
  }
  return ScheduleReplaceOnReboot(context, destination, source);
}

}  // namespace install

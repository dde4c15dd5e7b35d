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

// Streams all of from, from its start, into to at its position, one buffer at a time. The copy
// runs to the end of from's size whatever fails (kReadFailed, kWriteFailed: of the last block
// that fell short); kNoMemory when there is no buffer. progress as for CopyBlocks.
Status StreamCopy(File& from, File& to, std::uint32_t block_size,
                  const platform::PassProgress& progress = {}) {
  std::vector<std::uint8_t> buffer = TransferBuffer(block_size);
  if (buffer.empty())
    return status::kNoMemory;
  const std::int64_t size = from.Size();
  if (size < 0 || from.Seek(0, platform::SeekOrigin::kBegin) != 0)
    return status::kReadFailed;
  return platform::CopyBlocks(from, to, static_cast<std::uint64_t>(size), buffer,
                              platform::ShortBlock::kGoOn, progress)
      .status;
}

// Whether the open that just failed found no file there (rather than one it may not open).
bool FoundNoFile() {
  const DWORD error = ::GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// The backup path of destination: the backup directory joined with its file name (the whole
// path when it has none); empty when it does not fit.
std::string BackupPathOf(const script::ScriptContext& context, const std::string& destination) {
  std::string name = base::FileNameOf(destination);
  if (name.empty())
    name = destination;
  std::string backup = context.backup_directory.substr(0, kBackupPathCapacity - 1);
  return base::JoinPath(backup, kBackupPathCapacity, name) ? backup : std::string();
}

// Puts a whole backup file at its path, over an earlier backup of that name, also one that is
// read-only. It is not flushed: what the run has written survives the run being killed, and a
// wait for the disk on every backup would double the cost of an update's many small files.
bool CommitBackup(AtomicFile& file, const std::string& backup) {
  if (file.Commit(/*flush=*/false))
    return true;
  return ::SetFileAttributesA(backup.c_str(), FILE_ATTRIBUTE_NORMAL) && file.Commit(false);
}

// Copies the destination, open for reading at from (none: it could not be opened), into the
// backup directory; the statuses of BackupFile.
Status CopyToBackup(script::ScriptContext& context, const std::string& destination, File& from,
                    std::string* made) {
  const std::string backup = BackupPathOf(context, destination);
  if (backup.empty())
    return status::kBackupFailed;
  script::BackupJournal& journal = context.backup_journal;
  if (journal.KeptFromInterruptedRun(context.backup_directory, destination, backup)) {
    context.env.reporter.LogMessage(message::kKeptEarlierBackup, backup);
    if (made != nullptr)
      *made = backup;
    return status::kOk;
  }
  context.env.reporter.LogMessage(message::kBackingUp, backup);
  if (!from.IsOpen())
    return status::kBackupFailed;
  AtomicFile to(backup);
  if (!to.IsOpen())
    return status::kBackupFailed;
  Status result = StreamCopy(from, to.file(), kBackupBlockSize);
  if (result != status::kOk)
    return result;
  if (const std::optional<platform::FileTimes> times = from.Times())
    to.file().SetTimes(times->write);
  // The journal names the backup before the destination can change: a run that is killed from
  // here on leaves a backup that the next run keeps.
  if (!CommitBackup(to, backup))
    return status::kWriteFailed;
  if (!journal.Record(context.backup_directory, destination, backup))
    return status::kBackupFailed;
  if (made != nullptr)
    *made = backup;
  return status::kOk;
}

// Announces the replacement of destination, fills it from from and puts it in place; the
// statuses of CopyIntoPlace.
Status ReplaceFrom(script::ScriptContext& context, const std::string& destination,
                   Replacement& replacement, File& from) {
  ReportReplacing(context, destination);
  const Status copied = StreamCopy(
      from, replacement.content(), kCopyBlockSize,
      logging::PercentProgress(context.env.reporter, message::kReplacingFile, destination));
  if (copied != status::kOk)
    return copied;
  const std::optional<platform::FileTimes> times = from.Times();
  return replacement.Complete(context, times.value_or(platform::FileTimes{}));
}

}  // namespace

Replacement::Replacement(const std::string& destination)
    : destination_(destination), new_file_(destination) {}

bool Replacement::OpenOld() {
  old_file_ = File::OpenExisting(destination_, OpenMode::kReadWriteShareRead);
  replaces_ = old_file_.IsOpen() || !FoundNoFile();
  return old_file_.IsOpen() || !replaces_;
}

std::optional<std::int64_t> Replacement::CreationTime(
    const platform::FileTimes& source_times) const {
  if (source_times.creation > source_times.write)
    return source_times.write;
  if (const std::optional<platform::FileTimes> old_times = old_file_.Times(); old_times)
    return old_times->creation;
  return std::nullopt;
}

bool Replacement::PlaceIfAbsent(const platform::FileTimes& source_times) {
  // A new file is not flushed: there is no old one that it could cost.
  return content().SetTimes(source_times.write, CreationTime(source_times)) &&
         new_file_.Commit(/*flush=*/false, std::nullopt, /*replace_existing=*/false);
}

Status Replacement::BackUp(script::ScriptContext& context, std::string* made) {
  if (made != nullptr)
    made->clear();
  if (!replaces_ || context.backup_directory.empty())
    return status::kOk;
  return CopyToBackup(context, destination_, old_file_, made);
}

Status Replacement::Complete(script::ScriptContext& context,
                             const platform::FileTimes& source_times) {
  // After PlaceIfAbsent found the name taken, the content is opened again.
  const std::optional<std::int64_t> creation = CreationTime(source_times);
  if (!new_file_.Reopen() || !content().SetTimes(source_times.write, creation))
    return status::kWriteFailed;
  std::optional<std::uint32_t> attributes;
  if (replaces_) {
    const DWORD old_attributes = ::GetFileAttributesA(destination_.c_str());
    if (old_attributes != INVALID_FILE_ATTRIBUTES)
      attributes = old_attributes;
  }
  old_file_.Close();
  // The old file is only traded for content that the disk holds.
  if (new_file_.Commit(/*flush=*/replaces_, attributes))
    return status::kOk;
  return replaces_ ? OverwriteInPlace(context, source_times.write, creation)
                   : LeaveForRestart(context);
}

Status Replacement::OverwriteInPlace(script::ScriptContext& context, std::int64_t write_time,
                                     std::optional<std::int64_t> creation) {
  File from = File::OpenExisting(new_file_.path(), OpenMode::kReadShareRead);
  File to = File::OpenExisting(destination_, OpenMode::kReadWriteShareRead);
  if (!from.IsOpen() || !to.IsOpen())
    return LeaveForRestart(context);
  Status result = StreamCopy(from, to, kCopyBlockSize);
  const std::int64_t length = from.Size();
  if (result == status::kOk && (length < 0 || !to.SetLength(length)))
    result = status::kWriteFailed;
  if (result == status::kOk)
    to.SetTimes(write_time, creation);
  if (!to.Close() && result == status::kOk)
    result = status::kWriteFailed;
  return result;
}

void ReportReplacing(script::ScriptContext& context, const std::string& destination) {
  context.env.reporter.ReportProgress(message::kReplacingFile, destination);
  context.env.reporter.LogMessage(message::kReplacingFile, destination);
}

Status LeaveForRestart(script::ScriptContext& context) {
  context.env.state.direct_copy_mode = false;
  context.env.state.reboot_not_needed = false;
  return status::kNoRun;
}

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
                     const std::string& source) {
  File from = File::OpenExisting(source, OpenMode::kReadShareRead);
  if (!from.IsOpen())
    return status::kOk;
  Replacement replacement(destination);
  if (!replacement.OpenOld() || !replacement.Ready())
    return LeaveForRestart(context);
  return ReplaceFrom(context, destination, replacement, from);
}

Status BackUpAndPlace(script::ScriptContext& context, const std::string& destination,
                      std::string& source, File& source_file) {
  File from = std::move(source_file);
  if (context.env.state.direct_copy_mode && !from.IsOpen())
    from = File::OpenExisting(source, OpenMode::kReadShareRead);
  if (context.env.state.direct_copy_mode && from.IsOpen()) {
    Replacement replacement(destination);
    if (replacement.OpenOld() && replacement.Ready()) {
      if (const Status backed_up = replacement.BackUp(context); backed_up != status::kOk)
        return backed_up;
      const Status placed = ReplaceFrom(context, destination, replacement, from);
      if (placed != status::kNoRun)
        return placed;
      from.Close();
      return ScheduleReplaceOnReboot(context, destination, source);
    }
  }
  const bool in_use = context.env.state.direct_copy_mode && from.IsOpen();
  from.Close();
  // Nothing to copy, the destination in use, or replacement at restart already chosen.
  if (const Status backed_up = BackupFile(context, destination); backed_up != status::kOk)
    return backed_up;
  if (in_use)
    LeaveForRestart(context);
  return PlaceFile(context, destination, source);
}

bool ClearDestination(const std::string& destination) {
  // A destination that can be written is replaced whole by the copy that follows; deleting it
  // first would leave no file at all if the run ended in between.
  if (!platform::IsFile(destination) ||
      File::OpenExisting(destination, OpenMode::kReadWriteShareRead).IsOpen()) {
    return true;
  }
  // In use: a running program may still have it open, but the name can be moved aside to make
  // room, and the old file goes at the next restart.
  const std::optional<std::string> aside = NumberedFreeName(destination);
  if (!aside || !platform::RenameNow(destination, *aside, true))
    return false;
  platform::DeleteAtRestart(*aside);
  return true;
}

Status PlaceFile(script::ScriptContext& context, const std::string& destination,
                 std::string& source) {
  if (context.env.state.direct_copy_mode) {
    const Status copied = CopyIntoPlace(context, destination, source);
    // A destination in use (33) has just switched direct-copy mode off.
    if (context.env.state.direct_copy_mode)
      return copied;
  }
  return ScheduleReplaceOnReboot(context, destination, source);
}

}  // namespace install

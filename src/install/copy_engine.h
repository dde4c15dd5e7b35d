#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/status.h"
#include "install/atomic_file.h"
#include "platform/file.h"
#include "script/script_context.h"

// The steps every installing command is made of once its file has been fetched: back up the
// destination, put the new content in its place, or leave it for replacement at restart. A
// destination is never written in place: its new content is made whole beside it and takes its
// name in one rename, so that an interrupted run leaves every file whole, old or new.
namespace install {

// One destination on its way to new content: the new file beside it, and the old file, when
// there is one, held open for reading and writing (shared for reading) until it is replaced.
class Replacement {
 public:
  // Makes the new file beside destination; the old file is not looked at yet.
  explicit Replacement(const std::string& destination);

  // False when no file can be made beside the destination: it cannot be replaced now.
  bool Ready() const { return new_file_.IsOpen(); }
  // The new content, written from its start by the caller; only when Ready().
  platform::File& content() { return new_file_.file(); }
  const std::string& content_path() const { return new_file_.path(); }

  // Opens the old file, or finds that there is none. False when it is in use: it exists but
  // cannot be opened for writing.
  bool OpenOld();

  // Puts the content in place under the destination's name when no file has that name, with the
  // times the destination takes from its source (below); the old file need not be opened first.
  // False when a file of that name is there (or the rename fails otherwise): nothing changed.
  bool PlaceIfAbsent(const platform::FileTimes& source_times);

  // Backs the old file up into the backup directory (BackupFile); nothing to do for a destination
  // that did not exist. After OpenOld.
  Status BackUp(script::ScriptContext& context, std::string* made = nullptr);

  // Puts the content in place, after OpenOld, with the times the destination takes from its
  // source (the source's modification time, and as creation time the same when the source was
  // created later, as a file extracted just now is, else the old file's) and the old file's
  // attributes. An old file that a program holds open without letting it be renamed, but lets it
  // be written, is overwritten in place instead (its backup was made before). status::kOk;
  // kReadFailed, kWriteFailed when the content cannot be completed or written; kNoRun when the
  // destination cannot be replaced after all (direct-copy mode and the reboot-not-needed flag are
  // cleared; the content stays until this is destroyed, for the caller to schedule).
  Status Complete(script::ScriptContext& context, const platform::FileTimes& source_times);

 private:
  // The creation time the content takes: the source's modification time when the source was
  // created later, else the old file's creation time; none when there is no old file.
  std::optional<std::int64_t> CreationTime(const platform::FileTimes& source_times) const;
  Status OverwriteInPlace(script::ScriptContext& context, std::int64_t write_time,
                          std::optional<std::int64_t> creation);

  std::string destination_;
  platform::File old_file_;
  bool replaces_ = false;  // a file of that name was there
  AtomicFile new_file_;
};

// Copies an existing destination into the backup directory under its file name, keeping its
// modification time. A backup of that name from earlier in the run is replaced, whole, only once
// the new one is whole; one that an interrupted run made of this destination is kept (the
// journal). status::kOk also when there is nothing to back up (no such file, or no backup
// directory set); kBackupFailed when the backup cannot be made or the destination not opened,
// kReadFailed, kWriteFailed or kNoMemory when the copy fails. made, when given, receives the
// backup's path, empty when there is none.
Status BackupFile(script::ScriptContext& context, const std::string& destination,
                  std::string* made = nullptr);

// Copies source over destination, which is made when there is none, with source's modification
// time. status::kNoRun when the destination can be neither written nor made (it is in use):
// direct-copy mode and the reboot-not-needed flag are cleared. kOk also when the source cannot
// be opened (nothing copied); kReadFailed, kWriteFailed or kNoMemory when the copy fails, and the
// destination is then as it was.
Status CopyIntoPlace(script::ScriptContext& context, const std::string& destination,
                     const std::string& source);

// What FILE and COPYFILEAS do with a file fetched into the package folder: BackupFile, then
// PlaceFile, with their statuses. source_file is the source open for reading when the caller has
// it so (it is closed before the source is used by its name); otherwise the source is opened by
// its name.
Status BackUpAndPlace(script::ScriptContext& context, const std::string& destination,
                      std::string& source, platform::File& source_file);

// Makes room for a forced copy: a destination in use is moved aside to "<stem>.<n>" and queued
// for deletion at restart; one that can be written is left for the copy to replace. True when
// the destination is free to be replaced.
bool ClearDestination(const std::string& destination);

// Copies now in direct-copy mode, else (or when the destination turns out to be in use) schedules
// the replacement at restart; source is rewritten to the staging copy when scheduled.
Status PlaceFile(script::ScriptContext& context, const std::string& destination,
                 std::string& source);

// Shows and logs that destination is being replaced.
void ReportReplacing(script::ScriptContext& context, const std::string& destination);

// A destination that cannot be written now is in use: this and every later installing command
// leave their files for the restart. Returns status::kNoRun.
Status LeaveForRestart(script::ScriptContext& context);

}  // namespace install

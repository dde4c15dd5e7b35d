#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "platform/file.h"

namespace script {

// Which destination a run backed up to which backup path, kept as the file "ORQBACK.JNL" in each
// backup folder from the run's first backup there until the run ends, whatever its status. A run
// that is killed leaves its journal behind: the next run that backs up into that folder reads it,
// keeps those backups (they hold the versions from before the interrupted update) instead of
// backing the same destinations up again over them, and carries the entries on in its own
// journal until it ends.
class BackupJournal {
 public:
  BackupJournal() = default;
  ~BackupJournal();
  BackupJournal(const BackupJournal&) = delete;
  BackupJournal& operator=(const BackupJournal&) = delete;

  // Whether a run that was interrupted backed destination up to backup in folder, and that backup
  // is still there.
  bool KeptFromInterruptedRun(const std::string& folder, const std::string& destination,
                              const std::string& backup);
  // Records that destination now has its backup at backup in folder, before it is replaced.
  // False when the journal cannot be written.
  bool Record(const std::string& folder, const std::string& destination, const std::string& backup);

 private:
  struct Journal {
    std::string folder;                           // folded, to find it again
    std::string path;                             // empty when it would not fit
    platform::File file;                          // open for appending once there is a journal
    std::unordered_set<std::string> interrupted;  // folded entries of the interrupted run
  };

  Journal& JournalOf(const std::string& folder);

  std::vector<Journal> journals_;
};

}  // namespace script

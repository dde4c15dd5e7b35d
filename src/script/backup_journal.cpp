#include "script/backup_journal.h"

#include <cstdint>
#include <string_view>

#include "base/ascii_case.h"
#include "base/path.h"
#include "platform/filesystem.h"

namespace script {
namespace {

constexpr char kJournalName[] = "ORQBACK.JNL";
constexpr std::uint32_t kReadBlock = 16384;

// One line of the journal: "destination<TAB>backup" (neither may hold a tab) and CR LF.
std::string Entry(const std::string& destination, const std::string& backup) {
  return destination + '\t' + backup;
}

// The entries of a journal left behind, folded for comparison; the file is read to its end. True
// when its last line has no line end.
bool ReadEntries(platform::File& file, std::unordered_set<std::string>& entries) {
  std::string line;
  char block[kReadBlock];
  for (std::uint32_t got; (got = file.Read(block, sizeof block)) > 0;) {
    for (const char c : std::string_view(block, got)) {
      if (c == '\r' || c == '\n') {
        if (!line.empty())
          entries.insert(base::FoldedAsciiCase(line));
        line.clear();
      } else {
        line += c;
      }
    }
  }
  // A last line without its line end was cut while it was written: it may not name its backup
  // whole, so it is not taken (that destination is backed up again).
  return !line.empty();
}

}  // namespace

BackupJournal::~BackupJournal() {
  for (Journal& journal : journals_) {
    if (journal.file.IsOpen()) {
      journal.file.Close();
      platform::RemoveFile(journal.path);
    }
  }
}

BackupJournal::Journal& BackupJournal::JournalOf(const std::string& folder) {
  const std::string folded = base::FoldedAsciiCase(folder);
  for (Journal& journal : journals_) {
    if (journal.folder == folded)
      return journal;
  }
  Journal& journal = journals_.emplace_back();
  journal.folder = folded;
  journal.path = folder;
  if (!base::JoinPath(journal.path, base::kPathCapacity, kJournalName)) {
    journal.path.clear();
    return journal;
  }
  // One that is there already was left by a run that did not end. Later entries go behind its
  // own, on lines of their own.
  journal.file =
      platform::File::OpenExisting(journal.path, platform::OpenMode::kReadWriteShareRead);
  if (journal.file.IsOpen() && ReadEntries(journal.file, journal.interrupted) &&
      journal.file.Write("\r\n", 2) != 2) {
    journal.file.Close();
  }
  return journal;
}

bool BackupJournal::KeptFromInterruptedRun(const std::string& folder,
                                           const std::string& destination,
                                           const std::string& backup) {
  const Journal& journal = JournalOf(folder);
  return journal.interrupted.count(base::FoldedAsciiCase(Entry(destination, backup))) != 0 &&
         platform::IsFile(backup);
}

bool BackupJournal::Record(const std::string& folder, const std::string& destination,
                           const std::string& backup) {
  Journal& journal = JournalOf(folder);
  if (!journal.file.IsOpen() && !journal.path.empty()) {
    bool created = false;
    journal.file = platform::File::OpenOrCreate(journal.path, created);
    journal.file.Seek(0, platform::SeekOrigin::kEnd);
  }
  const std::string line = Entry(destination, backup) + "\r\n";
  return journal.file.Write(line.data(), static_cast<std::uint32_t>(line.size())) == line.size();
}

}  // namespace script

#include "package/fetch.h"

#include <cstdint>
#include <string>
#include <utility>

#include "base/ascii_case.h"
#include "base/path.h"
#include "log/percent_progress.h"
#include "package/extraction.h"
#include "platform/file.h"
#include "platform/filesystem.h"

namespace package {
namespace {

bool HasMatchingRecord(const PackageDescriptor& descriptor, std::string_view name,
                       std::uint32_t crc) {
  for (const DirectoryRecord& record : descriptor.directory) {
    if (record.crc == crc && base::EqualsIgnoringCase(record.Name(), name))
      return true;
  }
  return false;
}

// The path of name in the package folder, in out; false when it would leave the folder or not fit.
bool FolderPath(const PackageRun& run, std::string_view name, std::string& out,
                std::size_t capacity) {
  out = run.package_folder.substr(0, capacity > 0 ? capacity - 1 : 0);
  return base::IsContainedRelativePath(name) && base::JoinPath(out, capacity, name);
}

// Fetched earlier in this run, or a file of a name the package does not hold that is in the
// folder already: neither extracted nor checked again. A file of a name the package holds that
// this run did not fetch is extracted over, never taken unchecked.
bool TakenAsItIs(const PackageRun& run, std::string_view name, bool in_package,
                 const std::string& path) {
  return (!in_package || run.fetched.Contains(name)) && platform::IsFile(path);
}

// Reports the fetch of name (its progress text and log line) and returns the progress of its
// decode. A name the run decoded before has been reported: it goes again without a word.
platform::PassProgress AnnounceOnce(PackageRun& run, std::string_view name) {
  if (run.fetched.Announced(name))
    return {};
  run.reporter.ReportProgress(message::kUncompressingFile, name);
  run.reporter.LogMessage(message::kRetrievingFile, name);
  return logging::PercentProgress(run.reporter, message::kUncompressingFile, name);
}

}  // namespace

bool TakenFromPackageFolder(PackageRun& run, std::string_view name) {
  std::string path;
  EntryHeader header;
  return !FolderPath(run, name, path, base::kPathCapacity) ||
         TakenAsItIs(run, name, run.main_set.SeekEntry(name, header), path);
}

Status DecodePackageFile(PackageRun& run, std::string_view name, platform::File& into) {
  EntryHeader header;
  const bool in_package = run.main_set.SeekEntry(name, header);
  const platform::PassProgress progress = AnnounceOnce(run, name);
  if (!in_package)
    return status::kExtractFailed;
  std::uint32_t crc = 0;
  const Status decoded = DecodeEntryInto(run.main_set, header, into, progress, &crc);
  if (decoded != status::kOk)
    return decoded;
  if (!HasMatchingRecord(run.descriptor, name, crc))
    return status::kSignatureFailed;
  run.fetched.AddAnnounced(name);
  return status::kOk;
}

Status FetchPackageFile(PackageRun& run, std::string_view name, std::string& out,
                        std::size_t capacity, bool verify, platform::File* opened) {
  // A name that leaves the package folder could only find someone else's file there.
  if (!FolderPath(run, name, out, capacity))
    return status::kExtractFailed;
  EntryHeader header;
  const bool in_package = run.main_set.SeekEntry(name, header);
  if (TakenAsItIs(run, name, in_package, out))
    return status::kOk;

  const platform::PassProgress progress = AnnounceOnce(run, name);
  std::uint32_t crc = 0;
  platform::File kept;
  const Status extracted =
      in_package ? ExtractFoundEntry(run.main_set, header, run.package_folder, progress, &crc,
                                     opened != nullptr ? &kept : nullptr)
                 : status::kExtractFailed;
  if (extracted == status::kOk && (!verify || HasMatchingRecord(run.descriptor, name, crc))) {
    run.fetched.Add(name);
    if (opened != nullptr)
      *opened = std::move(kept);
    return status::kOk;
  }
  kept.Close();
  // What a failed entry wrote, or a file that failed its check, must not be found here by a later
  // fetch, which would take it as it is.
  platform::RemoveFile(out);
  return extracted != status::kOk ? extracted : status::kSignatureFailed;
}

}  // namespace package

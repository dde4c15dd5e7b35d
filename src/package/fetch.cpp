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

}  // namespace

Status FetchPackageFile(PackageRun& run, std::string_view name, std::string& out,
                        std::size_t capacity, bool verify, platform::File* opened) {
  // A name that leaves the package folder could only find someone else's file there.
  out = run.package_folder.substr(0, capacity > 0 ? capacity - 1 : 0);
  if (!base::IsContainedRelativePath(name) || !base::JoinPath(out, capacity, name)) {
    return status::kExtractFailed;
  }
  EntryHeader header;
  const bool in_package = run.main_set.SeekEntry(name, header);
  // Fetched earlier in this run, or a file of a name the package does not hold that is in the
  // folder already: neither extracted nor checked again. A file of a name the package holds that
  // this run did not fetch is extracted over, never taken unchecked.
  if ((!in_package || run.fetched.Contains(name)) && platform::IsFile(out))
    return status::kOk;

  run.reporter.ReportProgress(message::kUncompressingFile, name);
  run.reporter.LogMessage(message::kRetrievingFile, name);
  std::uint32_t crc = 0;
  platform::File kept;
  const Status extracted =
      in_package ? ExtractFoundEntry(
                       run.main_set, header, run.package_folder,
                       logging::PercentProgress(run.reporter, message::kUncompressingFile, name),
                       &crc, opened != nullptr ? &kept : nullptr)
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

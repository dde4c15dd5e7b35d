#include "package/fetch.h"

#include <cstdint>
#include <string>
#include <utility>

#include "base/ascii_case.h"
#include "base/path.h"
#include "package/extraction.h"
#include "platform/file.h"
#include "platform/filesystem.h"

namespace package {
namespace {

// Files from this size on report how far their decode has come.
constexpr std::uint64_t kLargeFileBytes = 1024 * 1024;

bool HasMatchingRecord(const PackageDescriptor& descriptor, std::string_view name,
                       std::uint32_t crc) {
  for (const DirectoryRecord& record : descriptor.directory) {
    if (record.crc == crc && base::EqualsIgnoringCase(record.Name(), name))
      return true;
  }
  return false;
}

// A large file takes seconds to decode: its progress text then tells how far the decode has come
// ("NAME (37%)"), anew with each percent, so that the wizard shows the run going on. Smaller files
// keep the one text.
DecodeProgress DecodePercent(Reporter& reporter, std::string_view name) {
  return [&reporter, name, shown = std::uint64_t{0}](std::uint64_t written,
                                                     std::uint64_t total) mutable {
    const std::uint64_t percent = written * 100 / total;
    if (total < kLargeFileBytes || percent == shown)
      return;
    shown = percent;
    reporter.ReportProgress(message::kUncompressingFile,
                            std::string(name) + " (" + std::to_string(percent) + "%)");
  };
}

}  // namespace

std::string FetchedFiles::Folded(std::string_view name) {
  std::string folded(name);
  for (char& c : folded)
    c = base::FoldAsciiCase(c);
  return folded;
}

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
  const Status extracted = in_package ? ExtractFoundEntry(run.main_set, header, run.package_folder,
                                                          DecodePercent(run.reporter, name), &crc,
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

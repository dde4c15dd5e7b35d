#include "package/fetch.h"

#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "base/ascii_case.h"
#include "base/path.h"
#include "package/crc32.h"
#include "package/extraction.h"
#include "platform/file.h"
#include "platform/filesystem.h"

namespace package {
namespace {

constexpr std::uint32_t kCrcBlockSize = 2048;
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

Status FetchPackageFile(PackageRun& run, std::string_view name, std::string& out,
                        std::size_t capacity, bool verify) {
  // A name that leaves the package folder could only find someone else's file there.
  out = run.package_folder.substr(0, capacity > 0 ? capacity - 1 : 0);
  if (!base::IsContainedRelativePath(name) || !base::JoinPath(out, capacity, name)) {
    return status::kExtractFailed;
  }
  // Fetched earlier in this run: neither extracted nor checked again.
  if (platform::IsFile(out))
    return status::kOk;

  run.reporter.ReportProgress(message::kUncompressingFile, name);
  run.reporter.LogMessage(message::kRetrievingFile, name);
  if (const Status extracted =
          ExtractEntry(run.main_set, run.package_folder, name, DecodePercent(run.reporter, name));
      extracted != status::kOk) {
    // What a failed entry wrote must not be found here by a later fetch either.
    platform::RemoveFile(out);
    return extracted;
  }

  platform::File fetched = platform::File::OpenExisting(out, platform::OpenMode::kReadShareRead);
  if (!fetched.IsOpen())
    return status::kOpenFailed;
  std::vector<std::uint8_t> block;
  try {
    block.resize(kCrcBlockSize);
  } catch (const std::bad_alloc&) {
    return status::kNoMemory;
  }
  std::uint32_t crc = kFileCrcStart;
  for (std::uint32_t got; (got = fetched.Read(block.data(), kCrcBlockSize)) > 0;) {
    Crc32Update(block.data(), got, &crc);
  }
  if (!verify || HasMatchingRecord(run.descriptor, name, crc))
    return status::kOk;
  // A file that failed its check must not be found here by a later fetch, which would take it as
  // it is.
  fetched.Close();
  platform::RemoveFile(out);
  return status::kSignatureFailed;
}

}  // namespace package

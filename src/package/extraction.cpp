#include "package/extraction.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

#include "base/ascii_case.h"
#include "base/path.h"
#include "package/data_file.h"
#include "package/entry_index.h"
#include "package/lzhuf_decoder.h"
#include "platform/block_copy.h"
#include "platform/filesystem.h"
#include "platform/folders.h"

namespace package {
namespace {

constexpr std::uint32_t kEntryTransferSize = 20480;
constexpr std::uint32_t kWipeBlockSize = 4096;
constexpr const char* kScratchPrefix = "ORQ";

// The path an entry is written to, or empty when the stored name would leave the folder, names a
// device (CON, COM1, ...) or the path would not fit in 259 characters (the file is never written
// under a shortened name).
std::string DestinationPath(const std::string& folder, const std::string& name) {
  if (!base::IsContainedRelativePath(name) || base::NamesDevice(name))
    return {};
  std::string path = folder;
  if (!path.empty() && !base::EndsWithSeparator(path))
    path += '\\';
  path += name;
  if (path.size() >= base::kPathCapacity)
    return {};
  return path;
}

// The file an entry's compressed bytes pass through: a new file of a unique name inside the folder
// the set is unpacked into, so that it can be nothing that is there already, and nothing beside
// the folder. It is wiped and deleted when the entry is done.
class EntryScratch {
 public:
  EntryScratch(const std::string& folder, const std::string& destination) {
    const std::string where = folder.empty() ? "." : folder;
    path_ = platform::CreateTempFile(where, kScratchPrefix);
    // The one name it may still take is that of the entry itself, not written yet: then the
    // entry would be decoded from itself. A second file cannot get the name the first holds.
    if (!path_.empty() && base::EqualsIgnoringCase(path_, destination)) {
      std::string other = platform::CreateTempFile(where, kScratchPrefix);
      platform::RemoveFile(path_);
      path_ = std::move(other);
    }
  }
  ~EntryScratch() {
    if (path_.empty())
      return;
    WipeFile(path_);
    platform::RemoveFile(path_);
  }
  EntryScratch(const EntryScratch&) = delete;
  EntryScratch& operator=(const EntryScratch&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Moves the entry's compressed bytes from the set into the scratch file.
bool CopyCompressedData(PackageFile& set, std::uint32_t size, const std::string& scratch_path) {
  platform::File scratch =
      platform::File::OpenStream(scratch_path, platform::StreamMode::kWriteTruncate);
  if (!scratch.IsOpen())
    return false;
  std::vector<std::uint8_t> buffer;
  try {
    buffer.resize(kEntryTransferSize);
  } catch (const std::bad_alloc&) {
    return false;
  }
  const bool copied =
      platform::CopyBlocks(set, scratch, size, buffer, platform::ShortBlock::kStop).status ==
      status::kOk;
  // Entry data does not linger in memory once it is copied.
  std::fill(buffer.begin(), buffer.end(), std::uint8_t{0});
  return scratch.Close() && copied;
}

// Unpacks the entry whose header was just read; the set stands at its compressed data.
// status::kOk; kSignatureFailed its stream is damaged; kExtractFailed any other failure.
Status ExtractCurrentEntry(PackageFile& set, const EntryHeader& header, const std::string& folder,
                           const DecodeProgress& progress) {
  const std::string destination = DestinationPath(folder, header.Name());
  if (destination.empty())
    return status::kExtractFailed;
  if (!folder.empty())
    platform::CreateFoldersAlong(destination);

  Status result = status::kExtractFailed;
  {
    const EntryScratch scratch(folder, destination);
    if (!scratch.path().empty() &&
        CopyCompressedData(set, header.compressed_size, scratch.path())) {
      result = DecodeFile(scratch.path(), destination, progress);
    }
  }
  if (result == status::kOk && IsDefinitionDataFile(destination)) {
    std::string data_file = destination;
    if (!UnscrambleDataFile(data_file, true))
      result = status::kExtractFailed;
  }
  if (result == status::kOk && header.time.IsSet())
    SetFileTimeStamp(destination, header.time);
  return result;
}

}  // namespace

Status ExtractAllEntries(PackageFile& set, const std::string& folder, std::string* failed_entry) {
  EntryHeader header;
  if (set.Seek(0, platform::SeekOrigin::kBegin) != 0 || !ReadEntryHeader(set, header))
    return status::kExtractFailed;
  for (bool first = true;; first = false) {
    if (!header.HasTag())
      return first ? status::kExtractFailed : status::kOk;
    if (const Status result = ExtractCurrentEntry(set, header, folder, {}); result != status::kOk) {
      if (failed_entry != nullptr)
        *failed_entry = header.Name();
      return result;
    }
    // The signature record that closes the set is shorter than a header.
    if (!ReadEntryHeader(set, header))
      return status::kOk;
  }
}

Status ExtractEntry(PackageFile& set, const std::string& folder, std::string_view name,
                    const DecodeProgress& progress) {
  EntryHeader header;
  if (!set.SeekEntry(name, header))
    return status::kExtractFailed;
  return ExtractCurrentEntry(set, header, folder, progress);
}

void WipeFile(const std::string& path) {
  platform::File file = platform::File::OpenStream(path, platform::StreamMode::kUpdate);
  if (!file.IsOpen())
    return;
  const std::int64_t size = file.Size();
  if (size < 0 || file.Seek(0, platform::SeekOrigin::kBegin) != 0)
    return;
  static constexpr std::uint8_t kZeros[kWipeBlockSize] = {};
  std::int64_t covered = 0;
  do {
    if (file.Write(kZeros, kWipeBlockSize) != kWipeBlockSize)
      break;
    covered += kWipeBlockSize;
  } while (covered < size);
}

}  // namespace package

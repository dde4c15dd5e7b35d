#include "package/extraction.h"

#include <algorithm>
#include <cstdint>
#include <new>
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
constexpr std::string_view kScratchSuffix = "tmp";

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
bool ExtractCurrentEntry(PackageFile& set, const EntryHeader& header, const std::string& folder) {
  const std::string destination = DestinationPath(folder, header.Name());
  // A name ending in "tmp" would be its own scratch file: decoding would truncate its own input.
  if (destination.empty() || base::EndsWithIgnoringCase(destination, kScratchSuffix))
    return false;
  if (!folder.empty())
    platform::CreateFoldersAlong(destination);
  const std::size_t kept = destination.size() - std::min(destination.size(), kScratchSuffix.size());
  const std::string scratch = destination.substr(0, kept) + std::string(kScratchSuffix);

  bool extracted =
      CopyCompressedData(set, header.compressed_size, scratch) && DecodeFile(scratch, destination);
  if (extracted && IsDefinitionDataFile(destination)) {
    std::string data_file = destination;
    extracted = UnscrambleDataFile(data_file, true);
  }
  WipeFile(scratch);
  platform::RemoveFile(scratch);

  if (extracted && header.time.IsSet())
    SetFileTimeStamp(destination, header.time);
  return extracted;
}

}  // namespace

bool ExtractAllEntries(PackageFile& set, const std::string& folder) {
  EntryHeader header;
  if (set.Seek(0, platform::SeekOrigin::kBegin) != 0 || !ReadEntryHeader(set, header))
    return false;
  for (bool first = true;; first = false) {
    if (!header.HasTag())
      return !first;
    if (!ExtractCurrentEntry(set, header, folder))
      return false;
    // The signature record that closes the set is shorter than a header.
    if (!ReadEntryHeader(set, header))
      return true;
  }
}

bool ExtractEntry(PackageFile& set, const std::string& folder, std::string_view name) {
  EntryHeader header;
  return set.SeekEntry(name, header) && ExtractCurrentEntry(set, header, folder);
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

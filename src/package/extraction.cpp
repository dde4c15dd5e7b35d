#include "package/extraction.h"

#include <cstdint>
#include <utility>

#include "base/path.h"
#include "package/data_file.h"
#include "package/entry_index.h"
#include "package/entry_writer.h"
#include "package/lzhuf_decoder.h"
#include "platform/folders.h"

namespace package {
namespace {

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

bool HasSubfolder(std::string_view name) {
  return name.find_first_of("\\/") != std::string_view::npos;
}

}  // namespace

Status DecodeEntryInto(PackageFile& set, const EntryHeader& header, platform::File& file,
                       const DecodeProgress& progress, std::uint32_t* crc) {
  if (!set.HoldsFromHere(header.compressed_size))
    return status::kExtractFailed;
  EntryWriter writer(file, IsDefinitionDataFile(header.Name()));
  Status result = DecodeStream(
      set, header.compressed_size,
      [&writer](const std::uint8_t* bytes, std::uint32_t count) {
        return writer.Write(bytes, count);
      },
      progress);
  if (result == status::kOk && !writer.Finish())
    result = status::kExtractFailed;
  if (writer.failed())
    result = status::kWriteFailed;
  if (result == status::kOk && header.time.IsSet())
    SetFileTimeStamp(file, header.time);
  if (crc != nullptr)
    *crc = writer.crc();
  return result;
}

Status ExtractFoundEntry(PackageFile& set, const EntryHeader& header, const std::string& folder,
                         const DecodeProgress& progress, std::uint32_t* crc, platform::File* kept) {
  const std::string destination = DestinationPath(folder, header.Name());
  if (destination.empty() || !set.HoldsFromHere(header.compressed_size))
    return status::kExtractFailed;
  if (HasSubfolder(header.Name()))
    platform::CreateFoldersAlong(destination);

  platform::File file = platform::File::OpenStream(
      destination, kept != nullptr ? platform::StreamMode::kReadWriteTruncate
                                   : platform::StreamMode::kWriteTruncate);
  if (!file.IsOpen())
    return status::kExtractFailed;
  Status result = DecodeEntryInto(set, header, file, progress, crc);
  // A file of the package folder that cannot be written is an extraction that failed.
  if (result == status::kWriteFailed)
    result = status::kExtractFailed;
  if (kept != nullptr && result == status::kOk && file.Seek(0, platform::SeekOrigin::kBegin) == 0) {
    *kept = std::move(file);
    return result;
  }
  if (!file.Close() && result == status::kOk)
    result = status::kExtractFailed;
  return result;
}

Status ExtractAllEntries(PackageFile& set, const std::string& folder, std::string* failed_entry) {
  EntryHeader header;
  if (set.Seek(0, platform::SeekOrigin::kBegin) != 0 || !ReadEntryHeader(set, header))
    return status::kExtractFailed;
  if (!folder.empty())
    platform::CreateFoldersAlong(folder + '\\');
  for (bool first = true;; first = false) {
    if (!header.HasTag())
      return first ? status::kExtractFailed : status::kOk;
    if (const Status result = ExtractFoundEntry(set, header, folder, {}, nullptr);
        result != status::kOk) {
      if (failed_entry != nullptr)
        *failed_entry = header.Name();
      return result;
    }
    // The signature record that closes the set is shorter than a header.
    if (!ReadEntryHeader(set, header))
      return status::kOk;
  }
}

Status ExtractEntry(PackageFile& set, const std::string& folder, std::string_view name) {
  EntryHeader header;
  if (!set.SeekEntry(name, header))
    return status::kExtractFailed;
  return ExtractFoundEntry(set, header, folder, {}, nullptr);
}

}  // namespace package

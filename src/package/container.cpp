#include "package/container.h"

#include <cstdint>
#include <new>
#include <utility>
#include <vector>

#include "package/certificate_table.h"
#include "platform/block_copy.h"
#include "platform/filesystem.h"
#include "platform/system.h"

namespace package {
namespace {

constexpr std::uint32_t kSetTransferSize = 20480;

// Reads exactly count bytes; false on a short read.
bool ReadWhole(platform::File& file, void* bytes, std::uint32_t count) {
  return file.Read(bytes, count) == count;
}

Status ReadDirectory(platform::File& installer, std::int64_t start, std::uint32_t count,
                     base::RecordList<DirectoryRecord>& directory) {
  if (installer.Seek(start, platform::SeekOrigin::kBegin) != start)
    return status::kReadFailed;
  for (std::uint32_t i = 0; i < count; ++i) {
    DirectoryRecordBytes bytes;
    if (!ReadWhole(installer, bytes.data(), kDirectoryRecordSize))
      return status::kReadFailed;
    try {
      directory.Append(ParseDirectoryRecord(bytes));
    } catch (const std::bad_alloc&) {
      return status::kNoMemory;
    }
  }
  return status::kOk;
}

// Where a set's bytes lie in the installer, past its magic.
struct SetPlace {
  std::int64_t start = 0;
  std::uint32_t size = 0;
};

// Finds the set the trailer places and checks its magic; positions installer at the set's first
// byte. status::kOk; kBadPackage no set magic.
Status LocateSet(platform::File& installer, const PackageDescriptor& descriptor, PackageSet set,
                 SetPlace& place) {
  const PackageTrailer& trailer = descriptor.trailer;
  std::int64_t magic_offset = trailer.payload_offset;
  place.size = trailer.language_set_size;
  if (set == PackageSet::kMain) {
    magic_offset += static_cast<std::int64_t>(trailer.language_set_size) + sizeof kSetMagic;
    place.size = trailer.main_set_size;
  }
  std::uint8_t magic[sizeof kSetMagic];
  if (installer.Seek(magic_offset, platform::SeekOrigin::kBegin) != magic_offset ||
      !ReadWhole(installer, magic, sizeof magic) || ReadLe32(magic) != kSetMagic) {
    return status::kBadPackage;
  }
  place.start = magic_offset + static_cast<std::int64_t>(sizeof magic);
  return status::kOk;
}

}  // namespace

Status ReadPackageTrailer(const std::string& installer_path, PackageDescriptor& descriptor) {
  platform::File installer =
      platform::File::OpenExisting(installer_path, platform::OpenMode::kReadShareRead);
  if (!installer.IsOpen())
    return status::kInstallerOpenFailed;

  // A file too short to hold a trailer carries no marker.
  const std::int64_t length = installer.Size();
  if (length < static_cast<std::int64_t>(kTrailerSize))
    return status::kBadPackage;
  descriptor.package_end = FindPackageEnd(installer, length);
  const std::int64_t trailer_start =
      descriptor.package_end - static_cast<std::int64_t>(kTrailerSize);
  TrailerBytes bytes;
  if (trailer_start < 0 ||
      installer.Seek(trailer_start, platform::SeekOrigin::kBegin) != trailer_start ||
      !ReadWhole(installer, bytes.data(), kTrailerSize)) {
    return status::kBadPackage;
  }
  descriptor.trailer = ParseTrailer(bytes);
  const PackageTrailer& trailer = descriptor.trailer;
  if (!trailer.HasMarker())
    return status::kBadPackage;
  if ((trailer.flags & kNtOnlyFlag) && !platform::IsNtFamily())
    return status::kNtOnly;

  // The record count comes from the file: in 64 bits the product cannot wrap, and a directory
  // that would reach back into the sets (or before the file) is damaged and not read at all.
  const std::int64_t directory_start =
      trailer_start - static_cast<std::int64_t>(kDirectoryRecordSize) * trailer.record_count;
  if (directory_start < static_cast<std::int64_t>(trailer.payload_offset)) {
    return status::kSignatureFailed;
  }
  descriptor.directory.Clear();
  return ReadDirectory(installer, directory_start, trailer.record_count, descriptor.directory);
}

Status CopySetToTempFile(platform::File& installer, const PackageDescriptor& descriptor,
                         PackageSet set, std::string& temp_path,
                         const platform::PassProgress& progress) {
  SetPlace place;
  if (const Status located = LocateSet(installer, descriptor, set, place); located != status::kOk)
    return located;

  temp_path = platform::CreateTempFile(platform::TempDirectory(), "ORQ");
  if (temp_path.empty())
    return status::kTempFileFailed;
  platform::File temp = platform::File::Create(temp_path);
  if (!temp.IsOpen())
    return status::kTempFileFailed;

  std::vector<std::uint8_t> buffer;
  try {
    buffer.resize(kSetTransferSize);
  } catch (const std::bad_alloc&) {
    return status::kNoMemory;
  }
  Status result = platform::CopyBlocks(installer, temp, place.size, buffer,
                                       platform::ShortBlock::kStop, progress)
                      .status;
  if (!temp.Close() && result == status::kOk)
    result = status::kWriteFailed;
  return result;
}

Status OpenInstallerSet(platform::File installer, const PackageDescriptor& descriptor,
                        PackageSet which, PackageFile& set) {
  SetPlace place;
  if (const Status located = LocateSet(installer, descriptor, which, place);
      located != status::kOk) {
    return located;
  }
  // A set that runs past the file's end has been cut short.
  const std::int64_t length = installer.Size();
  if (length < 0 || place.start + place.size > length)
    return status::kReadFailed;
  set = PackageFile(SetWindow(std::move(installer), place.start, place.size));
  return set.IsOpen() ? status::kOk : status::kReadFailed;
}

PackageFile OpenPackageFile(const std::string& path) {
  platform::File file = platform::File::OpenStream(path, platform::StreamMode::kRead);
  const std::int64_t length = file.Size();
  if (length < 0)
    return {};
  return PackageFile(SetWindow(std::move(file), 0, length));
}

}  // namespace package

#include "test_package.h"

#include <algorithm>
#include <iterator>

#include "package/crc32.h"
#include "platform/filesystem.h"
#include "test_support.h"

namespace test_package {

using package::kSetMagic;

void Append(Bytes& bytes, const Bytes& more) {
  bytes.insert(bytes.end(), more.begin(), more.end());
}

namespace {

template <std::size_t N>
void AppendArray(Bytes& bytes, const std::array<std::uint8_t, N>& more) {
  bytes.insert(bytes.end(), more.begin(), more.end());
}

void AppendMagic(Bytes& bytes) {
  std::uint8_t magic[4];
  package::WriteLe32(magic, kSetMagic);
  bytes.insert(bytes.end(), std::begin(magic), std::end(magic));
}

}  // namespace

Bytes Original(std::string_view stem) {
  return test_support::ReadFileBytes(
      test_support::FixturePath("lzhuf/" + std::string(stem) + ".bin"));
}

Entry FixtureEntry(std::string_view name, std::string_view stem, package::TimeStamp time) {
  return {
      std::string(name),
      test_support::ReadFileBytes(test_support::FixturePath("lzhuf/" + std::string(stem) + ".lzh")),
      time};
}

Bytes EntryBytes(const Entry& entry) {
  package::EntryHeader header;
  package::SetTextField(header.tag, package::kEntryTag);
  package::SetTextField(header.name, entry.name);
  header.original_size =
      entry.compressed.size() >= 4 ? package::ReadLe32(entry.compressed.data()) : 0;
  header.compressed_size = static_cast<std::uint32_t>(entry.compressed.size());
  header.time = entry.time;
  Bytes bytes;
  AppendArray(bytes, package::SerializeEntryHeader(header));
  Append(bytes, entry.compressed);
  return bytes;
}

std::uint32_t SignatureCrc(const Bytes& data) {
  std::uint32_t crc = package::kSignatureCrcStart;
  package::Crc32Update(data.data(), data.size(), &crc);
  return crc;
}

std::uint32_t FileCrc(const Bytes& data) {
  std::uint32_t crc = package::kFileCrcStart;
  package::Crc32Update(data.data(), data.size(), &crc);
  return crc;
}

Bytes WithSignature(Bytes data, std::uint16_t version, std::uint32_t crc) {
  package::SetSignature signature;
  signature.version = version;
  signature.crc = crc;
  AppendArray(data, package::SerializeSignature(signature));
  return data;
}

Bytes SignedSet(const std::vector<Entry>& entries) {
  Bytes set;
  for (const Entry& entry : entries)
    Append(set, EntryBytes(entry));
  const std::uint32_t crc = SignatureCrc(set);
  return WithSignature(std::move(set), package::kSignatureVersion, crc);
}

package::DirectoryRecord Record(std::string_view name, std::uint32_t crc) {
  package::DirectoryRecord record;
  package::SetTextField(record.name, name);
  record.crc = crc;
  return record;
}

package::PackageTrailer TrailerOf(const Installer& installer) {
  package::PackageTrailer trailer;
  trailer.language_set_size = static_cast<std::uint32_t>(installer.language_set.size());
  package::SetTextField(trailer.marker, package::kTrailerMarker);
  trailer.main_set_size = static_cast<std::uint32_t>(installer.main_set.size());
  trailer.payload_offset = static_cast<std::uint32_t>(installer.image.size());
  trailer.record_count = static_cast<std::uint32_t>(installer.directory.size());
  trailer.flags = installer.flags;
  return trailer;
}

Bytes InstallerBytes(const Installer& installer) {
  Bytes bytes = installer.image;
  AppendMagic(bytes);
  Append(bytes, installer.language_set);
  AppendMagic(bytes);
  Append(bytes, installer.main_set);
  for (const package::DirectoryRecord& record : installer.directory) {
    AppendArray(bytes, package::SerializeDirectoryRecord(record));
  }
  AppendArray(bytes, package::SerializeTrailer(TrailerOf(installer)));
  return bytes;
}

Bytes PeImage(std::size_t size) {
  Bytes image(std::max<std::size_t>(size, 0x200), 0);
  image[0] = 'M';
  image[1] = 'Z';
  package::WriteLe32(&image[0x3C], 0x80);
  std::copy_n("PE", 2, &image[0x80]);
  package::WriteLe16(&image[0x80 + 20], 224);    // size of the optional header
  package::WriteLe16(&image[0x80 + 24], 0x10B);  // PE32
  package::WriteLe32(&image[0x80 + 24 + 92], 16);
  return image;
}

void AppendCertificateTable(Bytes& file, std::size_t table_size) {
  file.resize((file.size() + 7) / 8 * 8, 0);
  package::WriteLe32(&file[kSecurityEntryOffset], static_cast<std::uint32_t>(file.size()));
  package::WriteLe32(&file[kSecurityEntryOffset + 4], static_cast<std::uint32_t>(table_size));
  file.resize(file.size() + table_size, 0x30);
}

std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  platform::ListFolder(folder, [&](const platform::FolderEntry& entry) {
    names.push_back(entry.name);
    return true;
  });
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace test_package

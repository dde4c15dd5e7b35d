#include "package/format.h"

#include <algorithm>
#include <cstring>

namespace package {
namespace {

template <std::size_t N>
bool FieldEquals(const std::array<char, N>& field, std::string_view text) {
  const char* end = std::find(field.begin(), field.end(), '\0');
  return std::string_view(field.data(), static_cast<std::size_t>(end - field.begin())) == text;
}

template <std::size_t N>
std::string FieldText(const std::array<char, N>& field) {
  const char* end = std::find(field.begin(), field.end(), '\0');
  return std::string(field.data(), static_cast<std::size_t>(end - field.begin()));
}

TimeStamp ReadTime(const std::uint8_t* bytes) {
  return {bytes[0], bytes[1], bytes[2], bytes[3], bytes[4], bytes[5]};
}

void WriteTime(std::uint8_t* bytes, const TimeStamp& time) {
  const std::uint8_t values[6] = {time.hour, time.minute, time.second,
                                  time.year, time.month,  time.day};
  std::memcpy(bytes, values, sizeof values);
}

}  // namespace

std::uint32_t ReadLe32(const std::uint8_t* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

std::uint16_t ReadLe16(const std::uint8_t* bytes) {
  return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}

void WriteLe32(std::uint8_t* bytes, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void WriteLe16(std::uint8_t* bytes, std::uint16_t value) {
  bytes[0] = static_cast<std::uint8_t>(value);
  bytes[1] = static_cast<std::uint8_t>(value >> 8);
}

bool PackageTrailer::HasMarker() const {
  return FieldEquals(marker, kTrailerMarker);
}

bool EntryHeader::HasTag() const {
  return FieldEquals(tag, kEntryTag);
}

std::string EntryHeader::Name() const {
  return FieldText(name);
}

std::string DirectoryRecord::Name() const {
  return FieldText(name);
}

PackageTrailer ParseTrailer(const TrailerBytes& bytes) {
  PackageTrailer trailer;
  trailer.language_set_size = ReadLe32(&bytes[0]);
  std::memcpy(trailer.marker.data(), &bytes[4], trailer.marker.size());
  trailer.main_set_size = ReadLe32(&bytes[21]);
  trailer.payload_offset = ReadLe32(&bytes[25]);
  trailer.record_count = ReadLe32(&bytes[29]);
  trailer.flags = ReadLe32(&bytes[33]);
  return trailer;
}

TrailerBytes SerializeTrailer(const PackageTrailer& trailer) {
  TrailerBytes bytes{};
  WriteLe32(&bytes[0], trailer.language_set_size);
  std::memcpy(&bytes[4], trailer.marker.data(), trailer.marker.size());
  WriteLe32(&bytes[21], trailer.main_set_size);
  WriteLe32(&bytes[25], trailer.payload_offset);
  WriteLe32(&bytes[29], trailer.record_count);
  WriteLe32(&bytes[33], trailer.flags);
  return bytes;
}

EntryHeader ParseEntryHeader(const EntryHeaderBytes& bytes) {
  EntryHeader header;
  std::memcpy(header.tag.data(), &bytes[0], header.tag.size());
  std::memcpy(header.name.data(), &bytes[14], header.name.size());
  header.original_size = ReadLe32(&bytes[274]);
  header.compressed_size = ReadLe32(&bytes[278]);
  header.time = ReadTime(&bytes[282]);
  return header;
}

EntryHeaderBytes SerializeEntryHeader(const EntryHeader& header) {
  EntryHeaderBytes bytes{};
  std::memcpy(&bytes[0], header.tag.data(), header.tag.size());
  std::memcpy(&bytes[14], header.name.data(), header.name.size());
  WriteLe32(&bytes[274], header.original_size);
  WriteLe32(&bytes[278], header.compressed_size);
  WriteTime(&bytes[282], header.time);
  return bytes;
}

DirectoryRecord ParseDirectoryRecord(const DirectoryRecordBytes& bytes) {
  DirectoryRecord record;
  std::memcpy(record.name.data(), &bytes[0], record.name.size());
  record.crc = ReadLe32(&bytes[144]);
  std::memcpy(record.reserved.data(), &bytes[148], record.reserved.size());
  record.original_size = ReadLe32(&bytes[160]);
  record.time = ReadTime(&bytes[164]);
  record.compressed_size = ReadLe32(&bytes[170]);
  record.entry_offset = ReadLe32(&bytes[174]);
  return record;
}

DirectoryRecordBytes SerializeDirectoryRecord(const DirectoryRecord& record) {
  DirectoryRecordBytes bytes{};
  std::memcpy(&bytes[0], record.name.data(), record.name.size());
  WriteLe32(&bytes[144], record.crc);
  std::memcpy(&bytes[148], record.reserved.data(), record.reserved.size());
  WriteLe32(&bytes[160], record.original_size);
  WriteTime(&bytes[164], record.time);
  WriteLe32(&bytes[170], record.compressed_size);
  WriteLe32(&bytes[174], record.entry_offset);
  return bytes;
}

SignatureBytes SerializeSignature(const SetSignature& signature) {
  SignatureBytes bytes{};
  kSignatureMarker.copy(reinterpret_cast<char*>(bytes.data()), kSignatureMarker.size());
  WriteLe16(&bytes[9], signature.version);
  WriteLe32(&bytes[11], signature.crc);
  WriteLe16(&bytes[15], signature.length);
  return bytes;
}

}  // namespace package

#pragma once

// The byte layout of the appended package: trailer, entry headers, directory records and the set
// signature. All integers are little-endian and every record is packed.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace package {

inline constexpr std::uint32_t kSetMagic = 0xDEADBEEF;
inline constexpr std::string_view kTrailerMarker = "_OMNIPACK_HEADER";
inline constexpr std::string_view kEntryTag = "__ORQLZHUFLIB";
inline constexpr std::string_view kSignatureMarker = "ORQSIGN";
inline constexpr std::uint16_t kSignatureVersion = 0x0100;
inline constexpr std::uint32_t kNtOnlyFlag = 0x1;

inline constexpr std::size_t kTrailerSize = 37;
inline constexpr std::size_t kEntryHeaderSize = 288;
inline constexpr std::size_t kDirectoryRecordSize = 178;
inline constexpr std::size_t kSignatureSize = 17;
inline constexpr std::size_t kEntryNameField = 260;      // zero-terminated, so 259 characters
inline constexpr std::size_t kDirectoryNameField = 144;  // zero-terminated, so 143 characters

// Local time: hour, minute, second, year - 1900, month (1-12), day. All zero means none.
struct TimeStamp {
  std::uint8_t hour = 0;
  std::uint8_t minute = 0;
  std::uint8_t second = 0;
  std::uint8_t year = 0;
  std::uint8_t month = 0;
  std::uint8_t day = 0;
  bool IsSet() const { return hour || minute || second || year || month || day; }
  bool operator==(const TimeStamp&) const = default;
};

struct PackageTrailer {
  std::uint32_t language_set_size = 0;  // S1
  std::array<char, 17> marker{};
  std::uint32_t main_set_size = 0;   // S2
  std::uint32_t payload_offset = 0;  // P
  std::uint32_t record_count = 0;    // K
  std::uint32_t flags = 0;
  bool HasMarker() const;  // the marker field, read as a zero-terminated text
};

struct EntryHeader {
  std::array<char, 14> tag{};
  std::array<char, kEntryNameField> name{};
  std::uint32_t original_size = 0;
  std::uint32_t compressed_size = 0;
  TimeStamp time;
  bool HasTag() const;       // the tag field, read as a zero-terminated text
  std::string Name() const;  // up to the first zero
};

struct DirectoryRecord {
  std::array<char, kDirectoryNameField> name{};
  std::uint32_t crc = 0;
  std::array<std::uint8_t, 12> reserved{};  // zero; kept so that a check can see what is there
  std::uint32_t original_size = 0;
  TimeStamp time;
  std::uint32_t compressed_size = 0;  // builder's own field at 170
  std::uint32_t entry_offset = 0;     // builder's own field at 174: entry header offset in the set
  std::string Name() const;
};

struct SetSignature {
  std::uint16_t version = kSignatureVersion;
  std::uint32_t crc = 0;
  std::uint16_t length = kSignatureSize;
};

using TrailerBytes = std::array<std::uint8_t, kTrailerSize>;
using EntryHeaderBytes = std::array<std::uint8_t, kEntryHeaderSize>;
using DirectoryRecordBytes = std::array<std::uint8_t, kDirectoryRecordSize>;
using SignatureBytes = std::array<std::uint8_t, kSignatureSize>;

PackageTrailer ParseTrailer(const TrailerBytes& bytes);
TrailerBytes SerializeTrailer(const PackageTrailer& trailer);
EntryHeader ParseEntryHeader(const EntryHeaderBytes& bytes);
EntryHeaderBytes SerializeEntryHeader(const EntryHeader& header);
DirectoryRecord ParseDirectoryRecord(const DirectoryRecordBytes& bytes);
DirectoryRecordBytes SerializeDirectoryRecord(const DirectoryRecord& record);
SignatureBytes SerializeSignature(const SetSignature& signature);

// Fills a fixed, zero-padded text field; false when the text and its zero do not fit.
template <std::size_t N>
bool SetTextField(std::array<char, N>& field, std::string_view text) {
  if (text.size() >= N)
    return false;
  field.fill(0);
  text.copy(field.data(), text.size());
  return true;
}

std::uint32_t ReadLe32(const std::uint8_t* bytes);
std::uint16_t ReadLe16(const std::uint8_t* bytes);
void WriteLe32(std::uint8_t* bytes, std::uint32_t value);
void WriteLe16(std::uint8_t* bytes, std::uint16_t value);

}  // namespace package

#include "package/certificate_table.h"

#include <algorithm>
#include <array>
#include <vector>

#include "package/format.h"

namespace package {
namespace {

constexpr std::uint32_t kNewHeaderPointer = 0x3C;  // in the DOS header: offset of "PE\0\0"
constexpr std::size_t kPeHeaderSize = 24;          // signature and file header
constexpr std::size_t kOptionalHeaderSizeField = 20;
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint32_t kChecksumField = 64;
constexpr std::uint32_t kSecurityEntryIndex = 4;
constexpr std::uint32_t kDataEntrySize = 8;
// A certificate table starts on an 8-byte boundary; signing pads the file with zeros to get there.
constexpr std::size_t kMaxAlignment = 7;

bool ReadAt(platform::File& file, std::int64_t offset, std::uint8_t* bytes, std::uint32_t count) {
  return file.Seek(offset, platform::SeekOrigin::kBegin) == offset &&
         file.Read(bytes, count) == count;
}

// Where the data directories start and how many there are, by the optional header's kind.
struct DirectoryLayout {
  std::uint32_t count_field;
  std::uint32_t first_entry;
};

std::optional<DirectoryLayout> LayoutFor(std::uint16_t magic) {
  if (magic == kPe32Magic)
    return DirectoryLayout{92, 96};
  if (magic == kPe32PlusMagic)
    return DirectoryLayout{108, 112};
  return std::nullopt;
}

}  // namespace

std::optional<CertificateTable> FindCertificateTable(platform::File& file, std::int64_t length) {
  std::array<std::uint8_t, 4> word{};
  std::array<std::uint8_t, 2> dos_magic{};
  if (!ReadAt(file, 0, dos_magic.data(), 2) || dos_magic[0] != 'M' || dos_magic[1] != 'Z' ||
      !ReadAt(file, kNewHeaderPointer, word.data(), 4)) {
    return std::nullopt;
  }
  const std::uint32_t pe_offset = ReadLe32(word.data());
  std::array<std::uint8_t, kPeHeaderSize> pe_header{};
  if (!ReadAt(file, pe_offset, pe_header.data(), kPeHeaderSize) || pe_header[0] != 'P' ||
      pe_header[1] != 'E' || pe_header[2] != 0 || pe_header[3] != 0) {
    return std::nullopt;
  }
  const std::uint16_t optional_size = ReadLe16(pe_header.data() + kOptionalHeaderSizeField);
  std::vector<std::uint8_t> optional(optional_size);
  const std::int64_t optional_offset = std::int64_t{pe_offset} + kPeHeaderSize;
  if (optional.size() < 2 || !ReadAt(file, optional_offset, optional.data(), optional_size))
    return std::nullopt;
  const std::optional<DirectoryLayout> layout = LayoutFor(ReadLe16(optional.data()));
  const std::uint32_t entry =
      layout ? layout->first_entry + kSecurityEntryIndex * kDataEntrySize : 0;
  if (!layout || entry + kDataEntrySize > optional.size() ||
      ReadLe32(optional.data() + layout->count_field) <= kSecurityEntryIndex) {
    return std::nullopt;
  }

  CertificateTable table;
  table.offset = ReadLe32(optional.data() + entry);
  table.size = ReadLe32(optional.data() + entry + 4);
  table.checksum_offset = static_cast<std::uint32_t>(optional_offset + kChecksumField);
  table.security_entry_offset = static_cast<std::uint32_t>(optional_offset + entry);
  const std::int64_t headers_end = optional_offset + optional_size;
  if (table.size == 0 || table.offset < headers_end ||
      std::int64_t{table.offset} + table.size != length) {
    return std::nullopt;
  }
  return table;
}

std::int64_t FindPackageEnd(platform::File& file, std::int64_t length) {
  const std::optional<CertificateTable> table = FindCertificateTable(file, length);
  if (!table)
    return length;
  const std::int64_t end = table->offset;
  const std::int64_t window_start =
      std::max<std::int64_t>(0, end - static_cast<std::int64_t>(kTrailerSize + kMaxAlignment));
  std::vector<std::uint8_t> window(static_cast<std::size_t>(end - window_start));
  if (!ReadAt(file, window_start, window.data(), static_cast<std::uint32_t>(window.size())))
    return end;
  for (std::size_t padding = 0; padding <= kMaxAlignment && padding + kTrailerSize <= window.size();
       ++padding) {
    if (padding > 0 && window[window.size() - padding] != 0)
      break;
    TrailerBytes trailer;
    std::copy_n(window.end() - static_cast<std::ptrdiff_t>(padding + kTrailerSize), kTrailerSize,
                trailer.begin());
    if (ParseTrailer(trailer).HasMarker())
      return end - static_cast<std::int64_t>(padding);
  }
  return end;
}

}  // namespace package

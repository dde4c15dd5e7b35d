#include "package/signature.h"

#include <cstring>
#include <new>
#include <span>
#include <vector>

#include "package/crc32.h"
#include "package/format.h"
#include "platform/block_copy.h"

namespace package {
namespace {

constexpr std::uint32_t kCrcBlockSize = 64 * 1024;

// The marker, its zero and the zero byte after it.
constexpr std::size_t kSignatureMarkerField = 9;
constexpr std::size_t kSignatureVersionOffset = 9;
constexpr std::size_t kSignatureCrcOffset = 11;

bool ReadAt(SetWindow& file, std::int64_t offset, void* bytes, std::uint32_t count) {
  return offset >= 0 && file.Seek(offset, platform::SeekOrigin::kBegin) == offset &&
         file.Read(bytes, count) == count;
}

bool HasSignatureMarker(const SignatureBytes& record) {
  char expected[kSignatureMarkerField] = {};
  kSignatureMarker.copy(expected, kSignatureMarker.size());
  return std::memcmp(record.data(), expected, sizeof expected) == 0;
}

}  // namespace

std::optional<SignatureLocation> FindSetSignature(SetWindow& set) {
  const std::int64_t length = set.Size();
  if (length <= 0)
    return std::nullopt;
  // Records chain backwards from the end by the length field in their last two bytes; each step
  // moves back by at least one whole record, so the walk ends.
  std::int64_t walked = 0;
  while (length > walked + static_cast<std::int64_t>(kSignatureSize)) {
    std::uint8_t length_field[2];
    if (!ReadAt(set, length - walked - 2, length_field, sizeof length_field))
      break;
    const std::int64_t record_length = ReadLe16(length_field);
    if (record_length < static_cast<std::int64_t>(kSignatureSize) || record_length >= length) {
      break;
    }
    SignatureBytes record;
    if (!ReadAt(set, length - walked - record_length, record.data(), kSignatureSize))
      break;
    walked += record_length;
    if (!HasSignatureMarker(record))
      break;
    if (ReadLe16(&record[kSignatureVersionOffset]) == kSignatureVersion) {
      return SignatureLocation{static_cast<std::uint32_t>(length - walked),
                               ReadLe32(&record[kSignatureCrcOffset])};
    }
  }
  return std::nullopt;
}

Status VerifySetSignature(SetWindow& set) {
  if (!set.IsOpen())
    return status::kOpenFailed;
  const std::optional<SignatureLocation> location = FindSetSignature(set);
  if (!location)
    return status::kSignatureFailed;

  std::vector<std::uint8_t> block;
  try {
    block.resize(kCrcBlockSize);
  } catch (const std::bad_alloc&) {
    return status::kNoMemory;
  }
  std::uint32_t crc = kSignatureCrcStart;
  // A set that cannot be read whole does not match, whatever the sum of its first part.
  if (set.Seek(0, platform::SeekOrigin::kBegin) != 0 ||
      platform::CopyBlocks(
          set, location->covered_length, block, platform::ShortBlock::kStop,
          [&crc](std::span<const std::uint8_t> bytes) {
            Crc32Update(bytes.data(), bytes.size(), &crc);
            return static_cast<std::uint32_t>(bytes.size());
          }).status != status::kOk) {
    return status::kSignatureFailed;
  }
  return crc == location->crc ? status::kOk : status::kSignatureFailed;
}

}  // namespace package

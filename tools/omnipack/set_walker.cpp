#include "set_walker.h"

#include <vector>

#include "package/crc32.h"
#include "package/data_file.h"
#include "package/lzhuf_decoder.h"
#include "platform/block_copy.h"
#include "stored_names.h"

namespace omnipack {
namespace {

constexpr std::uint32_t kBlockSize = 65536;

bool CopyBytes(package::SetWindow& from, platform::File& to, std::uint64_t size) {
  std::vector<std::uint8_t> block(kBlockSize);
  return platform::CopyBlocks(from, to, size, block, platform::ShortBlock::kStop).status ==
         status::kOk;
}

std::optional<std::uint32_t> FileCrc(const std::string& path) {
  platform::File file = platform::File::OpenStream(path, platform::StreamMode::kRead);
  if (!file.IsOpen())
    return std::nullopt;
  std::vector<std::uint8_t> block(kBlockSize);
  std::uint32_t crc = package::kFileCrcStart;
  while (const std::uint32_t got = file.Read(block.data(), kBlockSize)) {
    package::Crc32Update(block.data(), got, &crc);
  }
  return crc;
}

}  // namespace

std::string_view DecodeProblem(Status status) {
  return status == status::kSignatureFailed
             ? "damaged: the stream needs more data than it holds (cut off, or its size word too "
               "large)"
             : "does not decode (its size word is missing or zero)";
}

bool WalkSet(package::SetWindow& set, SetContents& contents) {
  const std::int64_t size = set.Size();
  if (size < 0)
    return false;
  contents = SetContents{};
  std::uint64_t offset = 0;
  for (;;) {
    package::EntryHeaderBytes bytes;
    if (set.Seek(static_cast<std::int64_t>(offset), platform::SeekOrigin::kBegin) !=
            static_cast<std::int64_t>(offset) ||
        set.Read(bytes.data(), package::kEntryHeaderSize) != package::kEntryHeaderSize) {
      break;
    }
    const package::EntryHeader header = package::ParseEntryHeader(bytes);
    if (!header.HasTag())
      break;
    contents.entries.push_back({offset, header});
    offset += package::kEntryHeaderSize + header.compressed_size;
    contents.end = offset;
    if (offset > static_cast<std::uint64_t>(size)) {
      contents.truncated = true;
      break;
    }
  }
  for (const SetEntry& entry : contents.entries)
    contents.names.Add(entry.header.Name(), entry);
  return true;
}

EntryDecoder::EntryDecoder()
    : compressed_(ScratchFile::Create()), decoded_(ScratchFile::Create()) {}

std::optional<DecodedEntry> EntryDecoder::Decode(package::SetWindow& set, const SetEntry& entry,
                                                 std::string& reason) {
  const auto data_offset = static_cast<std::int64_t>(entry.offset + package::kEntryHeaderSize);
  {
    platform::File compressed =
        platform::File::OpenStream(compressed_.path(), platform::StreamMode::kWriteTruncate);
    if (set.Seek(data_offset, platform::SeekOrigin::kBegin) != data_offset ||
        !compressed.IsOpen() || !CopyBytes(set, compressed, entry.header.compressed_size) ||
        !compressed.Close()) {
      reason = "its compressed data cannot be read whole";
      return std::nullopt;
    }
  }
  const Status decoded_status = package::DecodeFile(compressed_.path(), decoded_.path());
  if (decoded_status != status::kOk) {
    reason = std::string(DecodeProblem(decoded_status));
    return std::nullopt;
  }
  DecodedEntry decoded;
  {
    platform::File file = platform::File::OpenStream(decoded_.path(), platform::StreamMode::kRead);
    const std::int64_t size = file.Size();
    if (size < 0) {
      reason = "its decoded bytes cannot be read back";
      return std::nullopt;
    }
    decoded.size = static_cast<std::uint64_t>(size);
  }
  if (package::IsDefinitionDataFile(entry.header.Name())) {
    std::string path = decoded_.path();
    if (!package::UnscrambleDataFile(path, true)) {
      reason = "cannot be unscrambled";
      return std::nullopt;
    }
  }
  const std::optional<std::uint32_t> crc = FileCrc(decoded_.path());
  if (!crc) {
    reason = "its decoded bytes cannot be read back";
    return std::nullopt;
  }
  decoded.crc = *crc;
  return decoded;
}

}  // namespace omnipack

#include "package_writer.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <span>
#include <system_error>

#include "lzhuf_encoder.h"
#include "package/crc32.h"
#include "package/data_file.h"
#include "package/format.h"
#include "platform/block_copy.h"
#include "platform/file.h"
#include "scratch_file.h"
#include "stored_names.h"

namespace omnipack {
namespace {

constexpr std::uint32_t kBlockSize = 65536;
constexpr std::uint64_t kMaxPackageOffset = 0xFFFFFFFFu;

// The installer being written: counts its bytes and keeps the signature CRC of the current set.
class InstallerOutput {
 public:
  explicit InstallerOutput(platform::File& file) : file_(file) {}

  bool Write(const void* bytes, std::uint32_t count) {
    if (file_.Write(bytes, count) != count)
      return false;
    package::Crc32Update(bytes, count, &set_crc_);
    position_ += count;
    return true;
  }

  // Appends size bytes of source from its current position; false when either side falls short.
  bool Append(platform::File& source, std::uint64_t size) {
    std::vector<std::uint8_t> block(kBlockSize);
    const auto put = [this](std::span<const std::uint8_t> bytes) {
      const auto count = static_cast<std::uint32_t>(bytes.size());
      return Write(bytes.data(), count) ? count : 0u;
    };
    return platform::CopyBlocks(source, size, block, platform::ShortBlock::kStop, put).status ==
           status::kOk;
  }

  void BeginSet() {
    set_start_ = position_;
    set_crc_ = package::kSignatureCrcStart;
  }
  std::uint64_t SetOffset() const { return position_ - set_start_; }
  std::uint32_t SetCrc() const { return set_crc_; }
  std::uint64_t position() const { return position_; }

 private:
  platform::File& file_;
  std::uint64_t position_ = 0;
  std::uint64_t set_start_ = 0;
  std::uint32_t set_crc_ = package::kSignatureCrcStart;
};

// Scratch space reused for every entry: the compressed stream and a scrambled data file.
struct EntryScratch {
  ScratchFile compressed = ScratchFile::Create();
  ScratchFile scrambled = ScratchFile::Create();
};

// Scrambles the part of block that lies after the data file header; block starts at position.
void ScrambleBlock(std::uint16_t seed, std::uint64_t position, std::uint8_t* block,
                   std::uint32_t count) {
  const std::uint64_t header_left =
      position < package::kDataFileHeaderSize ? package::kDataFileHeaderSize - position : 0;
  const auto skip = static_cast<std::uint32_t>(std::min<std::uint64_t>(header_left, count));
  package::ScrambleDataBytes(seed, position + skip, block + skip, count - skip);
}

class EntryPacker {
 public:
  EntryPacker(InstallerOutput& output, const std::string& out_path, const PackProgress& progress)
      : output_(output), out_path_(out_path), progress_(progress) {}

  std::optional<ToolError> WriteSet(std::string_view set, std::span<const PackEntry> entries,
                                    std::vector<package::DirectoryRecord>* records);

 private:
  // Reads the source once for its CRC and, for a data file, writes its scrambled copy.
  std::optional<ToolError> ReadSource(const PackEntry& entry, platform::File& source, bool scramble,
                                      std::uint32_t& crc);
  std::optional<ToolError> WriteEntry(const PackEntry& entry, PackStep& step,
                                      std::vector<package::DirectoryRecord>* records);
  ToolError OutputError() const { return {out_path_, "cannot be written"}; }

  InstallerOutput& output_;
  const std::string& out_path_;
  const PackProgress& progress_;
  EntryScratch scratch_;
};

std::optional<ToolError> EntryPacker::ReadSource(const PackEntry& entry, platform::File& source,
                                                 bool scramble, std::uint32_t& crc) {
  platform::File scrambled;
  if (scramble) {
    scrambled =
        platform::File::OpenStream(scratch_.scrambled.path(), platform::StreamMode::kWriteTruncate);
    if (!scrambled.IsOpen())
      return ToolError{scratch_.scrambled.path(), "cannot be written"};
  }
  std::vector<std::uint8_t> block(kBlockSize);
  std::uint16_t seed = 0;
  std::uint64_t position = 0;
  crc = package::kFileCrcStart;
  for (;;) {
    const std::uint32_t got = source.Read(block.data(), kBlockSize);
    if (got == 0)
      break;
    // The directory holds the CRC of the file as it is installed, before scrambling.
    package::Crc32Update(block.data(), got, &crc);
    if (scramble) {
      // The seed is the last word of the header, read before the first byte after it.
      if (position == 0 && got >= package::kDataFileHeaderSize) {
        seed = package::ReadLe16(&block[package::kDataFileHeaderSize - 2]);
      }
      ScrambleBlock(seed, position, block.data(), got);
      if (scrambled.Write(block.data(), got) != got) {
        return ToolError{scratch_.scrambled.path(), "cannot be written"};
      }
    }
    position += got;
  }
  if (position != entry.size)
    return ToolError{entry.source_path, "changed while being packed"};
  if (scramble && !scrambled.Close()) {
    return ToolError{scratch_.scrambled.path(), "cannot be written"};
  }
  return std::nullopt;
}

std::optional<ToolError> EntryPacker::WriteEntry(const PackEntry& entry, PackStep& step,
                                                 std::vector<package::DirectoryRecord>* records) {
  const std::uint64_t entry_offset = output_.SetOffset();
  platform::File source =
      platform::File::OpenStream(entry.source_path, platform::StreamMode::kRead);
  if (!source.IsOpen())
    return ToolError{entry.source_path, "cannot be opened"};

  const bool scramble = package::IsDefinitionDataFile(entry.stored_name);
  std::uint32_t crc = 0;
  if (auto error = ReadSource(entry, source, scramble, crc))
    return error;

  platform::File plain;
  if (scramble) {
    plain = platform::File::OpenStream(scratch_.scrambled.path(), platform::StreamMode::kRead);
    if (!plain.IsOpen())
      return ToolError{scratch_.scrambled.path(), "cannot be opened"};
  } else if (source.Seek(0, platform::SeekOrigin::kBegin) != 0) {
    return ToolError{entry.source_path, "cannot be read"};
  }
  platform::File compressed = platform::File::OpenStream(scratch_.compressed.path(),
                                                         platform::StreamMode::kReadWriteTruncate);
  if (!compressed.IsOpen())
    return ToolError{scratch_.compressed.path(), "cannot be written"};

  std::uint64_t compressed_size = 0;
  const EncodeStatus status = EncodeStream(scramble ? plain : source, entry.size, compressed,
                                           compressed_size, [&](std::uint64_t done) {
                                             step.bytes_done = done;
                                             if (progress_)
                                               progress_(step);
                                           });
  if (status != EncodeStatus::kOk) {
    return ToolError{entry.source_path,
                     "cannot be compressed: " + std::string(EncodeStatusText(status))};
  }
  if (compressed_size > kMaxPackageOffset) {
    return ToolError{entry.source_path, "compresses to more than 4 GiB"};
  }

  package::EntryHeader header;
  package::SetTextField(header.tag, package::kEntryTag);
  package::SetTextField(header.name, entry.stored_name);
  header.original_size = static_cast<std::uint32_t>(entry.size);
  header.compressed_size = static_cast<std::uint32_t>(compressed_size);
  header.time = entry.time;
  const package::EntryHeaderBytes header_bytes = package::SerializeEntryHeader(header);
  if (!output_.Write(header_bytes.data(), package::kEntryHeaderSize) ||
      compressed.Seek(0, platform::SeekOrigin::kBegin) != 0 ||
      !output_.Append(compressed, compressed_size)) {
    return OutputError();
  }
  if (output_.position() > kMaxPackageOffset) {
    return ToolError{out_path_, "the package would pass 4 GiB"};
  }

  if (records != nullptr && entry.has_record) {
    package::DirectoryRecord record;
    package::SetTextField(record.name, entry.stored_name);
    record.crc = crc;
    record.original_size = header.original_size;
    record.time = entry.time;
    record.compressed_size = header.compressed_size;
    record.entry_offset = static_cast<std::uint32_t>(entry_offset);
    records->push_back(record);
  }
  return std::nullopt;
}

std::optional<ToolError> EntryPacker::WriteSet(std::string_view set,
                                               std::span<const PackEntry> entries,
                                               std::vector<package::DirectoryRecord>* records) {
  if (!scratch_.compressed.IsValid() || !scratch_.scrambled.IsValid()) {
    return ToolError{"temporary directory", "no scratch file can be created there"};
  }
  output_.BeginSet();
  PackStep step;
  step.set = set;
  step.count = entries.size();
  for (const PackEntry& entry : entries) {
    ++step.index;
    step.name = entry.stored_name;
    step.bytes_done = 0;
    step.bytes_total = entry.size;
    if (progress_)
      progress_(step);
    if (auto error = WriteEntry(entry, step, records))
      return error;
  }
  package::SetSignature signature;
  signature.crc = output_.SetCrc();
  const package::SignatureBytes bytes = package::SerializeSignature(signature);
  if (!output_.Write(bytes.data(), package::kSignatureSize))
    return OutputError();
  return std::nullopt;
}

bool WriteMagic(InstallerOutput& output) {
  std::array<std::uint8_t, 4> magic;
  package::WriteLe32(magic.data(), package::kSetMagic);
  return output.Write(magic.data(), magic.size());
}

std::optional<ToolError> WriteStub(InstallerOutput& output, const std::string& stub_path,
                                   const std::string& out_path) {
  platform::File stub = platform::File::OpenStream(stub_path, platform::StreamMode::kRead);
  if (!stub.IsOpen())
    return ToolError{stub_path, "cannot be opened"};
  const std::int64_t size = stub.Size();
  if (size < 0 || stub.Seek(0, platform::SeekOrigin::kBegin) != 0) {
    return ToolError{stub_path, "cannot be read"};
  }
  if (static_cast<std::uint64_t>(size) > kMaxPackageOffset) {
    return ToolError{stub_path, "larger than 4 GiB"};
  }
  if (!output.Append(stub, static_cast<std::uint64_t>(size))) {
    return ToolError{out_path, "cannot be written (or the stub changed while being copied)"};
  }
  return std::nullopt;
}

std::optional<ToolError> WriteContents(const PackageInput& input, platform::File& file,
                                       const std::string& out_path, const PackProgress& progress) {
  InstallerOutput output(file);
  if (auto error = WriteStub(output, input.stub_path, out_path))
    return error;

  package::PackageTrailer trailer;
  package::SetTextField(trailer.marker, package::kTrailerMarker);
  trailer.payload_offset = static_cast<std::uint32_t>(output.position());
  trailer.flags = input.flags;

  EntryPacker packer(output, out_path, progress);
  std::vector<package::DirectoryRecord> records;
  if (!WriteMagic(output))
    return ToolError{out_path, "cannot be written"};
  if (auto error = packer.WriteSet("language", input.language_entries, nullptr))
    return error;
  trailer.language_set_size = static_cast<std::uint32_t>(output.SetOffset());
  if (!WriteMagic(output))
    return ToolError{out_path, "cannot be written"};
  if (auto error = packer.WriteSet("main", input.main_entries, &records))
    return error;
  trailer.main_set_size = static_cast<std::uint32_t>(output.SetOffset());

  for (const package::DirectoryRecord& record : records) {
    const package::DirectoryRecordBytes bytes = package::SerializeDirectoryRecord(record);
    if (!output.Write(bytes.data(), bytes.size()))
      return ToolError{out_path, "cannot be written"};
  }
  trailer.record_count = static_cast<std::uint32_t>(records.size());
  const package::TrailerBytes bytes = package::SerializeTrailer(trailer);
  if (!output.Write(bytes.data(), bytes.size()))
    return ToolError{out_path, "cannot be written"};
  if (output.position() > kMaxPackageOffset) {
    return ToolError{out_path, "the installer would pass 4 GiB"};
  }
  return std::nullopt;
}

}  // namespace

std::optional<ToolError> WritePackage(const PackageInput& input, const std::string& out_path,
                                      const PackProgress& progress) {
  ScratchFile partial(out_path + ".part");
  platform::File file = platform::File::Create(partial.path());
  if (!file.IsOpen())
    return ToolError{partial.path(), "cannot be created"};
  if (auto error = WriteContents(input, file, out_path, progress))
    return error;
  if (!file.Close())
    return ToolError{out_path, "cannot be written"};
  std::error_code error;
  std::filesystem::rename(partial.path(), out_path, error);
  if (error)
    return ToolError{out_path, "cannot be replaced: " + error.message()};
  partial.Release();
  return std::nullopt;
}

}  // namespace omnipack

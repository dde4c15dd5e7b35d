#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "package/crc32.h"
#include "package/data_file.h"
#include "platform/file.h"

namespace package {

// Takes an entry's decoded bytes as the decoder makes them and writes them to the entry's file: a
// definition data file is unscrambled on the way (its header passes unchanged and gives the seed;
// one shorter than its header is padded with zeros to the header's length). Keeps the CRC-32 of
// everything it wrote, so that the file need not be read back for its check.
class EntryWriter {
 public:
  EntryWriter(platform::File& file, bool unscramble) : file_(file), unscramble_(unscramble) {}

  // One block of decoded bytes; false when it was not written whole.
  bool Write(const std::uint8_t* bytes, std::uint32_t count);
  // Completes the file after the last block; false when that write fails.
  bool Finish();

  std::uint32_t crc() const { return crc_; }
  // Whether a write to the file fell short.
  bool failed() const { return failed_; }

 private:
  bool Put(const std::uint8_t* bytes, std::uint32_t count);

  platform::File& file_;
  const bool unscramble_;
  std::uint64_t position_ = 0;
  bool failed_ = false;
  std::uint32_t crc_ = kFileCrcStart;
  std::array<std::uint8_t, kDataFileHeaderSize> header_{};
  std::vector<std::uint8_t> plain_;  // the unscrambled copy of a block
};

}  // namespace package

#pragma once

// The LZHUF compressor: produces the streams that package::DecodeStream reads (4-byte
// little-endian size, then the bit stream). LZSS over the 4096-byte ring with matches of 3 to 60
// bytes, literals and lengths coded with the same adaptive tree as the decoder.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class File;
}

namespace omnipack {

enum class EncodeStatus {
  kOk,
  kEmptyInput,     // a size word of zero cannot be decoded, so empty input is refused
  kInputTooLarge,  // the size word holds at most 4 GiB - 1
  kOpenFailed,     // EncodeFile: the source cannot be opened
  kCreateFailed,   // EncodeFile: the destination cannot be created
  kReadFailed,     // the input ended before the stated size or could not be read
  kWriteFailed,
  kNoMemory,
};

// A short lower-case reason for messages ("input is empty", "write failed", ...).
std::string_view EncodeStatusText(EncodeStatus status);

// Called now and then with the number of input bytes encoded so far.
using EncodeProgress = std::function<void(std::uint64_t bytes_done)>;

// Compresses data into a complete stream, replacing the contents of stream.
EncodeStatus EncodeBytes(std::span<const std::uint8_t> data, std::vector<std::uint8_t>& stream);

// Compresses size bytes read from input at its current position and writes the stream to output
// at its current position; compressed_size receives the bytes written, size word included.
// Memory stays small and fixed whatever the size.
EncodeStatus EncodeStream(platform::File& input, std::uint64_t size, platform::File& output,
                          std::uint64_t& compressed_size, const EncodeProgress& progress = {});

// Compresses a whole file into a new (or truncated) destination. Paths are in the platform
// layer's form ("\" separators).
EncodeStatus EncodeFile(const std::string& source_path, const std::string& destination_path,
                        std::uint64_t& compressed_size, const EncodeProgress& progress = {});

}  // namespace omnipack

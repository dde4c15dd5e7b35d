#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "base/status.h"
#include "platform/pass_progress.h"

namespace platform {
class File;
}

namespace package {

class SetWindow;

// Takes each block of a decode's output as it is made; false stops the decode (a failed write).
using DecodeSink = std::function<bool(const std::uint8_t* bytes, std::uint32_t count)>;

// Told, after each block a decode has written, how many bytes of how many it has written so far.
using DecodeProgress = platform::PassProgress;

// Decodes one LZHUF stream (4-byte little-endian size, then the bit stream) of input_size bytes
// from input to output, both positioned where the caller wants them; nothing after the stream is
// read. Produces exactly the stated size. Output goes out in blocks, and only blocks that the
// stream's own bits made: a damaged stream leaves its good blocks written.
// status::kOk; kSignatureFailed the stream is damaged: it needs more bits than input_size bytes
// hold (beyond the padding of its last byte); kExtractFailed the size word is short or zero, a
// write fails (the sink refuses a block) or there is no memory for the decoder.
Status DecodeStream(platform::File& input, std::uint64_t input_size, const DecodeSink& output,
                    const DecodeProgress& progress = {});
// The same, reading from a set: the stream cannot reach past the set's end.
Status DecodeStream(SetWindow& input, std::uint64_t input_size, const DecodeSink& output,
                    const DecodeProgress& progress = {});
// The same, writing the blocks to output at its position.
Status DecodeStream(platform::File& input, std::uint64_t input_size, platform::File& output,
                    const DecodeProgress& progress = {});

// Opens the compressed file for reading and the destination created or truncated, decodes the
// whole file as one stream, and closes both. The statuses of DecodeStream, and kExtractFailed
// when a path is empty or a file cannot be opened.
Status DecodeFile(const std::string& compressed_path, const std::string& destination_path,
                  const DecodeProgress& progress = {});

}  // namespace package

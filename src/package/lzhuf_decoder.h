#pragma once

#include <string>

namespace platform {
class File;
}

namespace package {

// Decodes one LZHUF stream (4-byte little-endian size, then the bit stream) from input to output,
// both positioned where the caller wants them. Produces exactly the stated size; input that runs
// out reads as zero bits. False when the size word is short or zero, or a write fails.
bool DecodeStream(platform::File& input, platform::File& output);

// Opens the compressed file for reading and the destination created or truncated, decodes, and
// closes both. False on any failure; the destination keeps what was written.
bool DecodeFile(const std::string& compressed_path, const std::string& destination_path);

}  // namespace package

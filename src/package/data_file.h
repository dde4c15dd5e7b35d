#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace package {

// Definition data files (DETECT.DAT, REPAIR.DAT, TITLES.DAT) travel scrambled: the first 52 bytes
// as they are, the last two of them a 16-bit seed, every later byte XORed with a key table built
// from that seed. The transform is its own inverse; the builder and the installer share it.
inline constexpr std::size_t kDataFileHeaderSize = 52;

bool IsDefinitionDataFile(std::string_view path);

// XORs bytes that stand at file offsets position, position + 1, ... (all at or after the header)
// with the key of seed.
void ScrambleDataBytes(std::uint16_t seed, std::uint64_t position, std::uint8_t* bytes,
                       std::size_t count);

// Writes the unscrambled file as "_NAME" beside path. With replace, the input is deleted and the
// output takes its name; without, path receives the output's path.
bool UnscrambleDataFile(std::string& path, bool replace);

}  // namespace package

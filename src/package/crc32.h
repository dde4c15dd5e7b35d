#pragma once

#include <cstddef>
#include <cstdint>

namespace package {

inline constexpr std::uint32_t kFileCrcStart = 0;
inline constexpr std::uint32_t kSignatureCrcStart = 0xDEADBEEF;

// CRC-32 over the reflected polynomial 0xEDB88320 without inversion before or after; the caller
// keeps the register and chooses its start value. Does nothing when bytes or register is null.
void Crc32Update(const void* bytes, std::size_t count, std::uint32_t* reg);

}  // namespace package

#include "package/crc32.h"

#include <array>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define OMNI_CRC32_FOLDING 1
#endif

namespace package {
namespace {

constexpr std::uint32_t kPolynomial = 0xEDB88320;
constexpr std::size_t kSlice = 16;

// Slicing by 16: table[k][b] is the register change of byte b followed by k zero bytes, so 16
// bytes are folded in with 16 independent lookups.
using Crc32Tables = std::array<std::array<std::uint32_t, 256>, kSlice>;

constexpr Crc32Tables MakeTables() {
  Crc32Tables tables{};
  for (std::uint32_t b = 0; b < 256; ++b) {
    std::uint32_t reg = b;
    for (int bit = 0; bit < 8; ++bit)
      reg = (reg & 1) ? (reg >> 1) ^ kPolynomial : reg >> 1;
    tables[0][b] = reg;
  }
  for (std::size_t k = 1; k < kSlice; ++k) {
    for (std::uint32_t b = 0; b < 256; ++b) {
      const std::uint32_t previous = tables[k - 1][b];
      tables[k][b] = (previous >> 8) ^ tables[0][previous & 0xFF];
    }
  }
  return tables;
}

constexpr Crc32Tables kTables = MakeTables();

// Little-endian load; compilers turn it into one move on x86.
inline std::uint32_t Load32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// The lookups are combined pairwise so that they do not wait on one long chain of XORs.
inline std::uint32_t Fold(std::uint32_t word, std::size_t table) {
  return (kTables[table][word & 0xFF] ^ kTables[table - 1][(word >> 8) & 0xFF]) ^
         (kTables[table - 2][(word >> 16) & 0xFF] ^ kTables[table - 3][word >> 24]);
}

std::uint32_t UpdateByTables(const std::uint8_t* p, std::size_t count, std::uint32_t crc) {
  for (; count >= kSlice; count -= kSlice, p += kSlice) {
    // Only the first word depends on the register; the other twelve lookups run ahead of it.
    const std::uint32_t ahead =
        Fold(Load32(p + 4), 11) ^ Fold(Load32(p + 8), 7) ^ Fold(Load32(p + 12), 3);
    crc = Fold(Load32(p) ^ crc, 15) ^ ahead;
  }
  for (; count != 0; --count, ++p)
    crc = (crc >> 8) ^ kTables[0][(crc ^ *p) & 0xFF];
  return crc;
}

#ifdef OMNI_CRC32_FOLDING

// Where the processor multiplies without carries, long runs are folded 64 bytes at a time
// instead: four 128-bit lanes are each multiplied by the power of x that moves them 64 bytes on
// (mod P) and added to the next 64 bytes; at the end the lanes are folded into one, which is
// reduced to 32 bits. The constants are those powers of x mod P, bit-reflected like the register,
// then x^64 mod P and the Barrett pair (P and floor(x^64 / P)).
constexpr std::size_t kFoldBlock = 64;
constexpr std::size_t kLane = 16;

__attribute__((target("pclmul,sse2"))) inline __m128i LoadLane(const std::uint8_t* at) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

// lane * x^(8 * distance) + next, with the pair of multipliers for the distance.
__attribute__((target("pclmul,sse2"))) inline __m128i FoldLane(__m128i lane, __m128i multipliers,
                                                               __m128i next) {
  const __m128i low = _mm_clmulepi64_si128(lane, multipliers, 0x00);
  const __m128i high = _mm_clmulepi64_si128(lane, multipliers, 0x11);
  return _mm_xor_si128(_mm_xor_si128(low, high), next);
}

__attribute__((target("pclmul,sse2"))) std::uint32_t UpdateByFolding(const std::uint8_t* p,
                                                                     std::size_t count,
                                                                     std::uint32_t crc) {
  const __m128i by_64_bytes = _mm_set_epi64x(0x01c6e41596, 0x0154442bd4);
  const __m128i by_16_bytes = _mm_set_epi64x(0x00ccaa009e, 0x01751997d0);
  const __m128i by_64_bits = _mm_set_epi64x(0, 0x0163cd6124);
  const __m128i barrett = _mm_set_epi64x(0x01f7011641, 0x01db710641);
  const __m128i low_words = _mm_set_epi32(0, -1, 0, -1);

  __m128i lanes[4];
  for (int i = 0; i < 4; ++i)
    lanes[i] = LoadLane(p + i * kLane);
  lanes[0] = _mm_xor_si128(lanes[0], _mm_cvtsi32_si128(static_cast<int>(crc)));
  p += kFoldBlock;
  count -= kFoldBlock;
  for (; count >= kFoldBlock; count -= kFoldBlock, p += kFoldBlock) {
    for (int i = 0; i < 4; ++i)
      lanes[i] = FoldLane(lanes[i], by_64_bytes, LoadLane(p + i * kLane));
  }
  __m128i x = lanes[0];
  for (int i = 1; i < 4; ++i)
    x = FoldLane(x, by_16_bytes, lanes[i]);
  for (; count >= kLane; count -= kLane, p += kLane)
    x = FoldLane(x, by_16_bytes, LoadLane(p));

  // 128 bits to 64: the low half moves 64 bits on and joins the high half.
  x = _mm_xor_si128(_mm_srli_si128(x, 8), _mm_clmulepi64_si128(x, by_16_bytes, 0x10));
  // 96 bits to 64: the low 32 bits move 64 bits on.
  x = _mm_xor_si128(_mm_srli_si128(x, 4),
                    _mm_clmulepi64_si128(_mm_and_si128(x, low_words), by_64_bits, 0x00));
  // Barrett reduction to the 32-bit remainder.
  __m128i t = _mm_clmulepi64_si128(_mm_and_si128(x, low_words), barrett, 0x10);
  t = _mm_clmulepi64_si128(_mm_and_si128(t, low_words), barrett, 0x00);
  x = _mm_xor_si128(x, t);
  return static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(x, 4)));
}

bool HasCarrylessMultiply() {
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("pclmul") != 0;
  }();
  return has;
}

#endif

}  // namespace

void Crc32Update(const void* bytes, std::size_t count, std::uint32_t* reg) {
  if (bytes == nullptr || reg == nullptr)
    return;
  const auto* p = static_cast<const std::uint8_t*>(bytes);
  std::uint32_t crc = *reg;
#ifdef OMNI_CRC32_FOLDING
  if (count >= kFoldBlock && HasCarrylessMultiply()) {
    const std::size_t folded = count - count % kLane;
    crc = UpdateByFolding(p, folded, crc);
    p += folded;
    count -= folded;
  }
#endif
  *reg = UpdateByTables(p, count, crc);
}

}  // namespace package

// CRC-32 without inversion: known registers, no-op cases, and updates in pieces.

#include "package/crc32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

std::uint32_t Crc(const std::vector<std::uint8_t>& bytes, std::uint32_t start) {
  std::uint32_t reg = start;
  package::Crc32Update(bytes.data(), bytes.size(), &reg);
  return reg;
}

TEST(Crc32, KnownRegisters) {
  const std::vector<std::uint8_t> abc = {'a', 'b', 'c'};
  EXPECT_EQ(Crc(abc, package::kFileCrcStart), 0xCA6598D0u);
  EXPECT_EQ(Crc(abc, package::kSignatureCrcStart), 0xBAFA53F0u);
}

// With the register inverted before and after, the routine gives the common CRC-32, whose values
// the reference vectors list; they are long enough to pass through every path of the routine.
TEST(Crc32, MatchesTheCommonCrcOfTheReferenceVectors) {
  const struct {
    const char* name;
    std::uint32_t crc;
  } kCases[] = {
      {"abc.bin", 0x352441c2},
      {"exact-4097.bin", 0xb6d8803d},
      {"random-64k.bin", 0x490f3ea2},
      {"english-160k.bin", 0x22bef077},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::vector<std::uint8_t> bytes =
        test_support::ReadFileBytes(test_support::FixturePath(std::string("lzhuf/") + c.name));
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(~Crc(bytes, 0xFFFFFFFF), c.crc);
  }
}

TEST(Crc32, NothingToDoLeavesTheRegister) {
  const std::uint8_t byte = 'x';
  std::uint32_t reg = 0x12345678;
  package::Crc32Update(&byte, 0, &reg);
  EXPECT_EQ(reg, 0x12345678u);
  package::Crc32Update(nullptr, 5, &reg);
  EXPECT_EQ(reg, 0x12345678u);
  package::Crc32Update(&byte, 1, nullptr);  // must not crash
}

TEST(Crc32, UpdatesInPiecesEqualOneUpdate) {
  std::vector<std::uint8_t> bytes(1000);
  std::uint32_t seed = 7;
  for (auto& b : bytes) {
    seed = seed * 1103515245 + 12345;
    b = static_cast<std::uint8_t>(seed >> 16);
  }
  const std::uint32_t whole = Crc(bytes, package::kSignatureCrcStart);
  // Pieces of every length from 1 to 40 start at every alignment; longer ones take the path for
  // long runs with every kind of tail.
  std::vector<std::size_t> pieces = {63, 64, 65, 79, 80, 127, 128, 200, 999};
  for (std::size_t piece = 1; piece <= 40; ++piece)
    pieces.push_back(piece);
  for (const std::size_t piece : pieces) {
    std::uint32_t reg = package::kSignatureCrcStart;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
      package::Crc32Update(bytes.data() + at, std::min(piece, bytes.size() - at), &reg);
    }
    EXPECT_EQ(reg, whole) << "pieces of " << piece;
  }
}

}  // namespace

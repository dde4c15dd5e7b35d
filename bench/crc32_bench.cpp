// CRC-32 over 16 MiB in memory, ours and zlib's in the same run. zlib computes the inverted
// variant; the work per byte is the same.

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdint>
#include <vector>

#include "package/crc32.h"

namespace {

constexpr std::size_t kBufferSize = 16 << 20;

const std::vector<std::uint8_t>& Buffer() {
  static const std::vector<std::uint8_t> buffer = [] {
    std::vector<std::uint8_t> bytes(kBufferSize);
    std::uint32_t state = 1;
    for (auto& b : bytes) {
      state = state * 1664525 + 1013904223;
      b = static_cast<std::uint8_t>(state >> 24);
    }
    return bytes;
  }();
  return buffer;
}

void BM_Crc32Update(benchmark::State& state) {
  const std::vector<std::uint8_t>& buffer = Buffer();
  for (auto _ : state) {
    std::uint32_t reg = package::kFileCrcStart;
    package::Crc32Update(buffer.data(), buffer.size(), &reg);
    benchmark::DoNotOptimize(reg);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * buffer.size()));
}
BENCHMARK(BM_Crc32Update)->Unit(benchmark::kMillisecond);

void BM_ZlibCrc32(benchmark::State& state) {
  const std::vector<std::uint8_t>& buffer = Buffer();
  for (auto _ : state) {
    uLong crc = crc32(0L, buffer.data(), static_cast<uInt>(buffer.size()));
    benchmark::DoNotOptimize(crc);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * buffer.size()));
}
BENCHMARK(BM_ZlibCrc32)->Unit(benchmark::kMillisecond);

}  // namespace

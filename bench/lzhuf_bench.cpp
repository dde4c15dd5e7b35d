// Decoder and encoder throughput on the benchmark sample; the encoded size is a counter.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "lzhuf_encoder.h"
#include "package/lzhuf_decoder.h"
#include "platform/file.h"

namespace {

const std::string kSample = std::string(OMNI_BENCH_DATA) + "/bench-sample-2mb";

std::vector<std::uint8_t> ReadAll(const std::string& path) {
  std::vector<std::uint8_t> bytes;
  platform::File file = platform::File::OpenStream(path, platform::StreamMode::kRead);
  const std::int64_t size = file.Size();
  if (size <= 0 || file.Seek(0, platform::SeekOrigin::kBegin) != 0)
    return bytes;
  bytes.resize(static_cast<std::size_t>(size));
  bytes.resize(file.Read(bytes.data(), static_cast<std::uint32_t>(size)));
  return bytes;
}

// File to file, as extraction decodes: the stream from the page cache, the output to /dev/null.
void BM_Decode(benchmark::State& state) {
  const std::size_t output_size = ReadAll(kSample + ".bin").size();
  for (auto _ : state) {
    if (package::DecodeFile(kSample + ".lzh", "/dev/null") != status::kOk) {
      state.SkipWithError("decoding failed");
      return;
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * output_size));
}
BENCHMARK(BM_Decode)->Unit(benchmark::kMillisecond);

void BM_Encode(benchmark::State& state) {
  const std::vector<std::uint8_t> input = ReadAll(kSample + ".bin");
  std::vector<std::uint8_t> stream;
  for (auto _ : state) {
    if (omnipack::EncodeBytes(input, stream) != omnipack::EncodeStatus::kOk) {
      state.SkipWithError("encoding failed");
      return;
    }
    benchmark::DoNotOptimize(stream.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
  state.counters["encoded_bytes"] = static_cast<double>(stream.size());
  state.counters["ratio"] = static_cast<double>(stream.size()) / static_cast<double>(input.size());
}
BENCHMARK(BM_Encode)->Unit(benchmark::kMillisecond);

}  // namespace

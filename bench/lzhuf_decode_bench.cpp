// The decoder's speed in the Windows build, run under Wine, where Google Benchmark is not built:
// decodes an LZHUF stream from its file ROUNDS times into a sink that drops the bytes, after one
// pass that checks them against the expected output, and prints the median in MB/s of output.
//
//   lzhuf_decode_bench.exe STREAM EXPECTED [ROUNDS]     (default 15)

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "package/lzhuf_decoder.h"
#include "platform/file.h"

namespace {

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "lzhuf_decode_bench: %s\n", what.c_str());
  std::exit(1);
}

std::vector<std::uint8_t> ReadAll(const std::string& path) {
  platform::File file = platform::File::OpenStream(path, platform::StreamMode::kRead);
  const std::int64_t size = file.Size();
  if (size <= 0 || file.Seek(0, platform::SeekOrigin::kBegin) != 0)
    Fail("cannot read " + path);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  if (file.Read(bytes.data(), static_cast<std::uint32_t>(size)) != bytes.size())
    Fail("cannot read " + path);
  return bytes;
}

// Decodes the stream once through sink; the seconds it took.
double Decode(const std::string& stream_path, const package::DecodeSink& sink) {
  platform::File input = platform::File::OpenStream(stream_path, platform::StreamMode::kRead);
  const std::int64_t size = input.Size();
  if (size <= 0 || input.Seek(0, platform::SeekOrigin::kBegin) != 0)
    Fail("cannot open " + stream_path);
  const auto start = std::chrono::steady_clock::now();
  if (package::DecodeStream(input, static_cast<std::uint64_t>(size), sink) != status::kOk)
    Fail("decoding failed");
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3)
    Fail("usage: lzhuf_decode_bench STREAM EXPECTED [ROUNDS]");
  const std::string stream_path = argv[1];
  const int rounds = argc > 3 ? std::atoi(argv[3]) : 15;
  if (rounds < 1)
    Fail("ROUNDS must be at least 1");

  const std::vector<std::uint8_t> expected = ReadAll(argv[2]);
  std::size_t checked = 0;
  Decode(stream_path, [&](const std::uint8_t* bytes, std::uint32_t count) {
    if (count > expected.size() - checked ||
        std::memcmp(bytes, expected.data() + checked, count) != 0)
      return false;
    checked += count;
    return true;
  });
  if (checked != expected.size())
    Fail("the output differs from " + std::string(argv[2]));

  std::vector<double> seconds;
  for (int i = 0; i < rounds; ++i)
    seconds.push_back(Decode(stream_path, [](const std::uint8_t*, std::uint32_t) { return true; }));
  std::sort(seconds.begin(), seconds.end());
  const double median = seconds[seconds.size() / 2];
  std::printf("decode: %.1f MB/s (median of %d, %.2f ms)\n",
              static_cast<double>(expected.size()) / median / 1e6, rounds, median * 1e3);
  return 0;
}

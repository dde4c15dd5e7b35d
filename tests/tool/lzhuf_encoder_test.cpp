// The builder's LZHUF encoder: everything it writes must decode with the installer's decoder to
// the input, and it must not compress worse than the published encoder.

#include "lzhuf_encoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "package/lzhuf_decoder.h"
#include "platform/file.h"
#include "tool_test_support.h"

namespace tool_test {
namespace {

using omnipack::EncodeStatus;

std::vector<std::uint8_t> Encode(const std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> stream;
  EXPECT_EQ(omnipack::EncodeBytes(data, stream), EncodeStatus::kOk);
  return stream;
}

// Decodes through files, as the installer does.
std::vector<std::uint8_t> Decode(const std::vector<std::uint8_t>& stream) {
  TempDir dir;
  WriteBytes(dir / "in.lzh", stream);
  EXPECT_EQ(package::DecodeFile(dir / "in.lzh", dir / "out.bin"), status::kOk);
  return ReadBytes(dir / "out.bin");
}

fs::path Vector(const std::string& name) {
  return fs::path(OMNI_FIXTURES) / "lzhuf" / name;
}

class Random {
 public:
  explicit Random(std::uint32_t seed) : state_(seed) {}
  std::uint32_t Next() {
    state_ = state_ * 1664525 + 1013904223;
    return state_ >> 8;
  }

 private:
  std::uint32_t state_;
};

std::vector<std::uint8_t> RandomBytes(std::size_t size, std::uint32_t seed) {
  Random random(seed);
  std::vector<std::uint8_t> bytes(size);
  for (auto& b : bytes)
    b = static_cast<std::uint8_t>(random.Next());
  return bytes;
}

// Words from a small vocabulary: many short and long matches, far more than 32455 symbols (the
// first tree rebuild) at 200,000 bytes.
std::vector<std::uint8_t> RandomWords(std::size_t size, std::uint32_t seed) {
  static const char* const kWords[] = {"the ", "update ", "installer ", "package ",  "file ",
                                       "of ",  "and ",    "restart ",   "registry ", "\n"};
  Random random(seed);
  std::vector<std::uint8_t> bytes;
  while (bytes.size() < size) {
    const std::string word = kWords[random.Next() % std::size(kWords)];
    bytes.insert(bytes.end(), word.begin(), word.end());
  }
  bytes.resize(size);
  return bytes;
}

std::vector<std::uint8_t> Runs() {
  std::vector<std::uint8_t> bytes;
  for (int run = 0; run < 40; ++run)
    bytes.insert(bytes.end(), 1 + run * 997 % 5000, static_cast<std::uint8_t>(run * 37));
  return bytes;
}

std::vector<std::uint8_t> EveryByteValue() {
  std::vector<std::uint8_t> bytes;
  for (int round = 0; round < 3; ++round) {
    for (int b = 0; b < 256; ++b)
      bytes.push_back(static_cast<std::uint8_t>(round == 1 ? 255 - b : b));
  }
  return bytes;
}

TEST(LzhufEncoder, RoundTripsThroughTheDecoder) {
  const struct {
    const char* what;
    std::vector<std::uint8_t> data;
  } kCases[] = {
      {"one byte", {'A'}},
      {"three bytes", {'x', 'y', 'z'}},
      {"4036 bytes", RandomWords(4036, 1)},
      {"4096 bytes", RandomWords(4096, 2)},
      {"4097 bytes", RandomWords(4097, 3)},
      {"spaces, as in the initial ring", std::vector<std::uint8_t>(5000, ' ')},
      {"zeros, as at the ring's far end", std::vector<std::uint8_t>(100, 0)},
      {"words past several tree rebuilds", RandomWords(200000, 4)},
      {"random bytes past a tree rebuild", RandomBytes(70000, 5)},
      {"runs of many lengths", Runs()},
      {"every byte value", EveryByteValue()},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    const std::vector<std::uint8_t> stream = Encode(c.data);
    ASSERT_GE(stream.size(), 4u);
    EXPECT_EQ(package::ReadLe32(stream.data()), c.data.size());
    EXPECT_EQ(Decode(stream), c.data);
  }
}

// 60 spaces (or zeros) are one match into the ring's initial contents: a length code and a
// position code of at most 9 + 14 bits after the size word. Starting with a literal would take
// at least 8 more bits, one more byte.
TEST(LzhufEncoder, MatchesReachIntoTheInitialRing) {
  EXPECT_LE(Encode(std::vector<std::uint8_t>(60, ' ')).size(), 7u);
  EXPECT_LE(Encode(std::vector<std::uint8_t>(60, 0)).size(), 7u);
}

TEST(LzhufEncoder, ReferenceInputsRoundTripNoLargerThanThePublishedEncoder) {
  for (const std::string name :
       {"abc", "one-byte", "leading-spaces", "exact-4036", "exact-4095", "exact-4096", "exact-4097",
        "manpage-ls", "license-gpl3", "random-text-60k", "random-64k", "binary-gzip",
        "english-160k", "pattern7-200k", "mixed-binary-270k", "run-1mb-zero"}) {
    SCOPED_TRACE(name);
    const std::vector<std::uint8_t> data = ReadBytes(Vector(name + ".bin"));
    ASSERT_FALSE(data.empty());
    const std::vector<std::uint8_t> stream = Encode(data);
    EXPECT_EQ(Decode(stream), data);
    EXPECT_LE(stream.size(), fs::file_size(Vector(name + ".lzh")));
  }
}

// Real files of a few megabytes: the mixed text and libraries of the benchmark sample, twice over,
// cut at 3,000,000 bytes. Past a hundred tree rebuilds, some of which put the symbol being counted
// at another depth of the rebuilt tree.
TEST(LzhufEncoder, MegabytesOfMixedFilesRoundTrip) {
  std::vector<std::uint8_t> data = ReadBytes(fs::path(OMNI_BENCH_DATA) / "bench-sample-2mb.bin");
  ASSERT_FALSE(data.empty());
  const std::size_t once = data.size();
  data.resize(2 * once);
  std::copy_n(data.begin(), once, data.begin() + static_cast<std::ptrdiff_t>(once));
  data.resize(3000000);
  EXPECT_EQ(Decode(Encode(data)), data);
}

TEST(LzhufEncoder, EmptyInputIsRefused) {
  std::vector<std::uint8_t> stream = {1, 2, 3};
  EXPECT_EQ(omnipack::EncodeBytes({}, stream), EncodeStatus::kEmptyInput);
  EXPECT_TRUE(stream.empty());

  TempDir dir;
  WriteBytes(dir / "empty", {});
  std::uint64_t compressed_size = 99;
  EXPECT_EQ(omnipack::EncodeFile(dir / "empty", dir / "out.lzh", compressed_size),
            EncodeStatus::kEmptyInput);
  EXPECT_EQ(compressed_size, 0u);
  EXPECT_FALSE(fs::exists(dir / "out.lzh"));
}

TEST(LzhufEncoder, StreamEncodesBetweenTheCurrentPositions) {
  TempDir dir;
  const std::vector<std::uint8_t> data = RandomWords(30000, 6);
  std::vector<std::uint8_t> input = data;
  input.insert(input.begin(), {'j', 'u', 'n', 'k'});
  input.push_back('!');  // after the stated size: not read
  WriteBytes(dir / "in", input);
  WriteText(dir / "out", "head");

  platform::File in = platform::File::OpenStream(dir / "in", platform::StreamMode::kRead);
  platform::File out = platform::File::OpenStream(dir / "out", platform::StreamMode::kUpdate);
  ASSERT_EQ(in.Seek(4, platform::SeekOrigin::kBegin), 4);
  ASSERT_EQ(out.Seek(0, platform::SeekOrigin::kEnd), 4);
  std::vector<std::uint64_t> reports;
  std::uint64_t compressed_size = 0;
  ASSERT_EQ(omnipack::EncodeStream(in, data.size(), out, compressed_size,
                                   [&](std::uint64_t done) { reports.push_back(done); }),
            EncodeStatus::kOk);
  ASSERT_TRUE(out.Close());

  const std::vector<std::uint8_t> written = ReadBytes(dir / "out");
  ASSERT_EQ(written.size(), 4 + compressed_size);
  const std::vector<std::uint8_t> stream(written.begin() + 4, written.end());
  EXPECT_EQ(stream, Encode(data));  // the same stream whichever way it is made
  EXPECT_EQ(Decode(stream), data);
  ASSERT_FALSE(reports.empty());
  EXPECT_EQ(reports.back(), data.size());
}

TEST(LzhufEncoder, FailuresAreReported) {
  TempDir dir;
  WriteBytes(dir / "in", RandomBytes(1000, 7));
  std::uint64_t compressed_size = 0;
  EXPECT_EQ(omnipack::EncodeFile(dir / "missing", dir / "out", compressed_size),
            EncodeStatus::kOpenFailed);
  EXPECT_EQ(omnipack::EncodeFile(dir / "in", dir / "no-folder/out", compressed_size),
            EncodeStatus::kCreateFailed);

  platform::File in = platform::File::OpenStream(dir / "in", platform::StreamMode::kRead);
  platform::File out =
      platform::File::OpenStream(dir / "out", platform::StreamMode::kWriteTruncate);
  EXPECT_EQ(omnipack::EncodeStream(in, 1001, out, compressed_size), EncodeStatus::kReadFailed);
  ASSERT_EQ(in.Seek(0, platform::SeekOrigin::kBegin), 0);
  platform::File read_only = platform::File::OpenStream(dir / "out", platform::StreamMode::kRead);
  EXPECT_EQ(omnipack::EncodeStream(in, 1000, read_only, compressed_size),
            EncodeStatus::kWriteFailed);
  EXPECT_EQ(omnipack::EncodeStream(in, std::uint64_t{1} << 32, out, compressed_size),
            EncodeStatus::kInputTooLarge);
}

}  // namespace
}  // namespace tool_test

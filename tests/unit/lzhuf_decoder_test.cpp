// The LZHUF decoder against the reference streams, and its handling of short, empty, truncated
// and corrupt streams and of files it cannot open.

#include "package/lzhuf_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/filesystem.h"
#include "test_support.h"

namespace {

using test_support::FixturePath;
using test_support::ReadFileBytes;
using test_support::ScratchFolder;
using test_support::WriteFileBytes;

std::string Vector(const std::string& name) {
  return FixturePath("lzhuf/" + name);
}

void SetSizeWord(std::vector<std::uint8_t>& stream, std::uint32_t size) {
  for (int i = 0; i < 4; ++i)
    stream[i] = static_cast<std::uint8_t>(size >> (8 * i));
}

TEST(LzhufDecoder, ReproducesTheReferenceVectors) {
  const struct {
    const char* stream;
    const char* expected;
  } kCases[] = {
      {"abc.lzh", "abc.bin"},
      {"one-byte.lzh", "one-byte.bin"},
      {"leading-spaces.lzh", "leading-spaces.bin"},
      {"exact-4036.lzh", "exact-4036.bin"},
      {"exact-4095.lzh", "exact-4095.bin"},
      {"exact-4096.lzh", "exact-4096.bin"},
      {"exact-4097.lzh", "exact-4097.bin"},
      {"manpage-ls.lzh", "manpage-ls.bin"},
      {"license-gpl3.lzh", "license-gpl3.bin"},
      {"random-text-60k.lzh", "random-text-60k.bin"},
      {"random-64k.lzh", "random-64k.bin"},
      {"binary-gzip.lzh", "binary-gzip.bin"},
      {"english-160k.lzh", "english-160k.bin"},
      {"pattern7-200k.lzh", "pattern7-200k.bin"},
      {"mixed-binary-270k.lzh", "mixed-binary-270k.bin"},
      {"run-1mb-zero.lzh", "run-1mb-zero.bin"},
  };
  ScratchFolder scratch;
  const std::string out = scratch / "out.bin";
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.stream);
    ASSERT_EQ(package::DecodeFile(Vector(c.stream), out), status::kOk);
    const std::vector<std::uint8_t> expected = ReadFileBytes(Vector(c.expected));
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(ReadFileBytes(out), expected);
  }
}

TEST(LzhufDecoder, SizeWordOfZeroFailsAndLeavesAnEmptyDestination) {
  ScratchFolder scratch;
  const std::string out = scratch / "out.bin";
  ASSERT_TRUE(test_support::WriteFileText(out, "previous contents"));
  EXPECT_EQ(package::DecodeFile(Vector("empty.lzh"), out), status::kExtractFailed);
  EXPECT_TRUE(platform::IsFile(out));
  EXPECT_TRUE(ReadFileBytes(out).empty());
}

TEST(LzhufDecoder, StreamShorterThanItsSizeWordFails) {
  ScratchFolder scratch;
  const std::string in = scratch / "short.lzh";
  const std::string out = scratch / "out.bin";
  ASSERT_TRUE(WriteFileBytes(in, {0x03, 0x00, 0x00}));
  EXPECT_EQ(package::DecodeFile(in, out), status::kExtractFailed);
  ASSERT_TRUE(WriteFileBytes(in, {}));
  EXPECT_EQ(package::DecodeFile(in, out), status::kExtractFailed);
}

// A stream that needs more bits than it holds (beyond the padding of its last byte) is damaged:
// cut off, or its size word raised. Whatever is written came from the stream's own bits: a
// correct prefix of the original.
TEST(LzhufDecoder, StreamNeedingMoreInputThanItHoldsIsDamaged) {
  const struct {
    const char* name;
    std::size_t cut;          // bytes of the stream kept; 0 keeps it whole
    std::uint32_t size_word;  // 0 keeps the stream's own
  } kCases[] = {
      {"one-byte", 5, 0},                    // the only byte of bits is gone
      {"abc", 7, 0},                         // the last byte of bits is gone
      {"abc", 0, 4},                         // one literal more than the bits hold
      {"exact-4097", 1000, 0},               // cut in the middle of the first block
      {"english-160k", 63292 - 1, 0},        // only the last byte of the stream is gone
      {"english-160k", 40000, 0},            // cut after the first output block
      {"mixed-binary-270k", 150416 - 8, 0},  // the last 8 bytes, a whole 64-bit load
      {"run-1mb-zero", 21892 / 2, 0},        // cut half-way, 8 output blocks in
      {"random-64k", 0, 65536 + 1},          // whole, but one byte more stated
      {"run-1mb-zero", 0, 0xFFFFFFFF},       // whole, but 4 GiB stated
      {"leading-spaces", 0, 0xFFFFFFFF},     // 71 bytes stating 4 GiB
  };
  ScratchFolder scratch;
  const std::string in = scratch / "damaged.lzh";
  const std::string out = scratch / "out.bin";
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.name) + " cut to " + std::to_string(c.cut) + ", size word " +
                 std::to_string(c.size_word));
    std::vector<std::uint8_t> stream = ReadFileBytes(Vector(std::string(c.name) + ".lzh"));
    ASSERT_GT(stream.size(), c.cut);
    if (c.cut != 0)
      stream.resize(c.cut);
    if (c.size_word != 0)
      SetSizeWord(stream, c.size_word);
    ASSERT_TRUE(WriteFileBytes(in, stream));
    EXPECT_EQ(package::DecodeFile(in, out), status::kSignatureFailed);

    const std::vector<std::uint8_t> written = ReadFileBytes(out);
    const std::vector<std::uint8_t> original = ReadFileBytes(Vector(std::string(c.name) + ".bin"));
    ASSERT_LE(written.size(), original.size());
    EXPECT_TRUE(std::equal(written.begin(), written.end(), original.begin()));
  }
}

// 40 bytes stating 4 GiB: refused at once, with nothing written.
TEST(LzhufDecoder, TinyStreamStatingFourGigabytesWritesNothing) {
  ScratchFolder scratch;
  const std::string in = scratch / "tiny.lzh";
  const std::string out = scratch / "out.bin";
  std::vector<std::uint8_t> stream = ReadFileBytes(Vector("run-1mb-zero.lzh"));
  stream.resize(40);
  SetSizeWord(stream, 0xFFFFFFFF);
  ASSERT_TRUE(WriteFileBytes(in, stream));
  EXPECT_EQ(package::DecodeFile(in, out), status::kSignatureFailed);
  EXPECT_TRUE(ReadFileBytes(out).empty());
}

// The reference decoder read the missing end of this stream as zero bytes and wrote 20000 bytes
// (truncated-english.expected); here it is damaged, and nothing of its one output block is
// written.
TEST(LzhufDecoder, TruncatedReferenceVectorFails) {
  ScratchFolder scratch;
  const std::string out = scratch / "out.bin";
  EXPECT_EQ(package::DecodeFile(Vector("truncated-english.lzh"), out), status::kSignatureFailed);
  EXPECT_TRUE(ReadFileBytes(out).empty());
}

// A size word that ends inside a match (here made by lowering the size of valid streams): the
// output stops at exactly the stated size, also when the match crosses an output block.
TEST(LzhufDecoder, MatchCrossingTheStatedSizeStopsAtIt) {
  const struct {
    const char* name;
    std::uint32_t size;
  } kCases[] = {
      {"leading-spaces", 5},    // the first symbol: 60 bytes from the initial ring
      {"run-1mb-zero", 1000},   // length-60 matches at distance 1
      {"run-1mb-zero", 65566},  // the same, cut just past 64 KiB
      {"pattern7-200k", 12345}, {"english-160k", 100003},
  };
  ScratchFolder scratch;
  const std::string in = scratch / "cut.lzh";
  const std::string out = scratch / "out.bin";
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.name) + " cut at " + std::to_string(c.size));
    std::vector<std::uint8_t> stream = ReadFileBytes(Vector(std::string(c.name) + ".lzh"));
    ASSERT_GE(stream.size(), 4u);
    SetSizeWord(stream, c.size);
    ASSERT_TRUE(WriteFileBytes(in, stream));
    ASSERT_EQ(package::DecodeFile(in, out), status::kOk);
    std::vector<std::uint8_t> expected = ReadFileBytes(Vector(std::string(c.name) + ".bin"));
    ASSERT_GE(expected.size(), c.size);
    expected.resize(c.size);
    EXPECT_EQ(ReadFileBytes(out), expected);
  }
}

TEST(LzhufDecoder, FilesThatCannotBeOpenedFail) {
  ScratchFolder scratch;
  const std::string out = scratch / "out.bin";
  EXPECT_EQ(package::DecodeFile("", out), status::kExtractFailed);
  EXPECT_EQ(package::DecodeFile(Vector("abc.lzh"), ""), status::kExtractFailed);

  // A missing input: the destination is not created.
  EXPECT_EQ(package::DecodeFile(scratch / "missing.lzh", out), status::kExtractFailed);
  EXPECT_FALSE(platform::IsFile(out));

  // A destination that cannot be created: the input is closed again, so it can be deleted.
  const std::string in = scratch / "abc.lzh";
  ASSERT_TRUE(WriteFileBytes(in, ReadFileBytes(Vector("abc.lzh"))));
  EXPECT_EQ(package::DecodeFile(in, scratch / "no-such-folder\\out.bin"), status::kExtractFailed);
  EXPECT_TRUE(platform::RemoveFile(in));
}

// DecodeStream reads and writes from where the caller left the files, as extraction does inside
// a package, and reads no further than the stream's stated input size.
TEST(LzhufDecoder, StreamDecodesFromAndToTheCurrentPositions) {
  ScratchFolder scratch;
  const std::string in_path = scratch / "set.bin";
  const std::string out_path = scratch / "out.bin";
  std::vector<std::uint8_t> set = {'h', 'e', 'a', 'd', 'e', 'r', '!'};
  const std::vector<std::uint8_t> stream = ReadFileBytes(Vector("exact-4097.lzh"));
  set.insert(set.end(), stream.begin(), stream.end());
  const std::vector<std::uint8_t> next_entry(300, 0xA5);
  set.insert(set.end(), next_entry.begin(), next_entry.end());
  ASSERT_TRUE(WriteFileBytes(in_path, set));
  ASSERT_TRUE(test_support::WriteFileText(out_path, "kept"));

  platform::File in = platform::File::OpenStream(in_path, platform::StreamMode::kRead);
  platform::File out = platform::File::OpenStream(out_path, platform::StreamMode::kUpdate);
  ASSERT_TRUE(in.IsOpen());
  ASSERT_TRUE(out.IsOpen());
  ASSERT_EQ(in.Seek(7, platform::SeekOrigin::kBegin), 7);
  ASSERT_EQ(out.Seek(0, platform::SeekOrigin::kEnd), 4);
  EXPECT_EQ(package::DecodeStream(in, stream.size(), out), status::kOk);
  EXPECT_EQ(in.Seek(0, platform::SeekOrigin::kCurrent),
            static_cast<std::int64_t>(7 + stream.size()));
  ASSERT_TRUE(out.Close());

  std::vector<std::uint8_t> expected = {'k', 'e', 'p', 't'};
  const std::vector<std::uint8_t> decoded = ReadFileBytes(Vector("exact-4097.bin"));
  expected.insert(expected.end(), decoded.begin(), decoded.end());
  EXPECT_EQ(ReadFileBytes(out_path), expected);

  // One byte short of its stream, the bytes that follow do not stand in for the missing one.
  platform::File again = platform::File::OpenStream(in_path, platform::StreamMode::kRead);
  platform::File sink = platform::File::OpenStream(out_path, platform::StreamMode::kWriteTruncate);
  ASSERT_EQ(again.Seek(7, platform::SeekOrigin::kBegin), 7);
  EXPECT_EQ(package::DecodeStream(again, stream.size() - 1, sink), status::kSignatureFailed);
}

}  // namespace

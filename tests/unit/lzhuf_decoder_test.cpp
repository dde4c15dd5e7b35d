// The LZHUF decoder against the reference streams, and its handling of short, empty, truncated
// and corrupt streams and of files it cannot open.

#include "package/lzhuf_decoder.h"

#include <gtest/gtest.h>

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
  // The expected output of the truncated stream is what the reference decoder wrote: its input
  // runs out and reads as zero bits.
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
      {"truncated-english.lzh", "truncated-english.expected"},
  };
  ScratchFolder scratch;
  const std::string out = scratch / "out.bin";
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.stream);
    ASSERT_TRUE(package::DecodeFile(Vector(c.stream), out));
    const std::vector<std::uint8_t> expected = ReadFileBytes(Vector(c.expected));
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(ReadFileBytes(out), expected);
  }
}

TEST(LzhufDecoder, SizeWordOfZeroFailsAndLeavesAnEmptyDestination) {
  ScratchFolder scratch;
  const std::string out = scratch / "out.bin";
  ASSERT_TRUE(test_support::WriteFileText(out, "previous contents"));
  EXPECT_FALSE(package::DecodeFile(Vector("empty.lzh"), out));
  EXPECT_TRUE(platform::IsFile(out));
  EXPECT_TRUE(ReadFileBytes(out).empty());
}

TEST(LzhufDecoder, StreamShorterThanItsSizeWordFails) {
  ScratchFolder scratch;
  const std::string in = scratch / "short.lzh";
  const std::string out = scratch / "out.bin";
  ASSERT_TRUE(WriteFileBytes(in, {0x03, 0x00, 0x00}));
  EXPECT_FALSE(package::DecodeFile(in, out));
  ASSERT_TRUE(WriteFileBytes(in, {}));
  EXPECT_FALSE(package::DecodeFile(in, out));
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
    ASSERT_TRUE(package::DecodeFile(in, out));
    std::vector<std::uint8_t> expected = ReadFileBytes(Vector(std::string(c.name) + ".bin"));
    ASSERT_GE(expected.size(), c.size);
    expected.resize(c.size);
    EXPECT_EQ(ReadFileBytes(out), expected);
  }
}

TEST(LzhufDecoder, FilesThatCannotBeOpenedFail) {
  ScratchFolder scratch;
  const std::string out = scratch / "out.bin";
  EXPECT_FALSE(package::DecodeFile("", out));
  EXPECT_FALSE(package::DecodeFile(Vector("abc.lzh"), ""));

  // A missing input: the destination is not created.
  EXPECT_FALSE(package::DecodeFile(scratch / "missing.lzh", out));
  EXPECT_FALSE(platform::IsFile(out));

  // A destination that cannot be created: the input is closed again, so it can be deleted.
  const std::string in = scratch / "abc.lzh";
  ASSERT_TRUE(WriteFileBytes(in, ReadFileBytes(Vector("abc.lzh"))));
  EXPECT_FALSE(package::DecodeFile(in, scratch / "no-such-folder\\out.bin"));
  EXPECT_TRUE(platform::RemoveFile(in));
}

// DecodeStream reads and writes from where the caller left the files, as extraction does inside
// a package.
TEST(LzhufDecoder, StreamDecodesFromAndToTheCurrentPositions) {
  ScratchFolder scratch;
  const std::string in_path = scratch / "set.bin";
  const std::string out_path = scratch / "out.bin";
  std::vector<std::uint8_t> set = {'h', 'e', 'a', 'd', 'e', 'r', '!'};
  const std::vector<std::uint8_t> stream = ReadFileBytes(Vector("exact-4097.lzh"));
  set.insert(set.end(), stream.begin(), stream.end());
  ASSERT_TRUE(WriteFileBytes(in_path, set));
  ASSERT_TRUE(test_support::WriteFileText(out_path, "kept"));

  platform::File in = platform::File::OpenStream(in_path, platform::StreamMode::kRead);
  platform::File out = platform::File::OpenStream(out_path, platform::StreamMode::kUpdate);
  ASSERT_TRUE(in.IsOpen());
  ASSERT_TRUE(out.IsOpen());
  ASSERT_EQ(in.Seek(7, platform::SeekOrigin::kBegin), 7);
  ASSERT_EQ(out.Seek(0, platform::SeekOrigin::kEnd), 4);
  EXPECT_TRUE(package::DecodeStream(in, out));
  ASSERT_TRUE(out.Close());

  std::vector<std::uint8_t> expected = {'k', 'e', 'p', 't'};
  const std::vector<std::uint8_t> decoded = ReadFileBytes(Vector("exact-4097.bin"));
  expected.insert(expected.end(), decoded.begin(), decoded.end());
  EXPECT_EQ(ReadFileBytes(out_path), expected);
}

}  // namespace

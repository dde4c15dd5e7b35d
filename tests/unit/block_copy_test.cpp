#include "platform/block_copy.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "test_support.h"

namespace {

using platform::ShortBlock;

std::vector<std::uint8_t> Pattern(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
  return bytes;
}

// A source of 5000 bytes copied through a 2048-byte buffer: asking for more than it holds makes
// the third block short, and every block after it empty.
TEST(CopyBlocks, ShortBlocksStopOrGoOnAsAsked) {
  const struct {
    const char* what;
    std::uint64_t size;
    ShortBlock on_short;
    bool writable;
    Status status;
    std::uint64_t written;
  } cases[] = {
      {"whole source", 5000, ShortBlock::kStop, true, status::kOk, 5000},
      {"part of it", 3000, ShortBlock::kStop, true, status::kOk, 3000},
      {"nothing", 0, ShortBlock::kStop, true, status::kOk, 0},
      // A short read ends the copy before its block is written.
      {"past the end, stop", 8192, ShortBlock::kStop, true, status::kReadFailed, 4096},
      // Going on writes what the short read gave and runs through the empty blocks after it.
      {"past the end, go on", 8192, ShortBlock::kGoOn, true, status::kReadFailed, 5000},
      {"destination refuses, stop", 5000, ShortBlock::kStop, false, status::kWriteFailed, 0},
      // Every write fails, then the last block reads nothing: the status is of the last failure.
      {"destination refuses, go on", 8192, ShortBlock::kGoOn, false, status::kReadFailed, 0},
      {"destination refuses to the end", 5000, ShortBlock::kGoOn, false, status::kWriteFailed, 0},
  };
  const std::vector<std::uint8_t> source_bytes = Pattern(5000);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test_support::ScratchFolder scratch;
    ASSERT_TRUE(test_support::WriteFileBytes(scratch / "from", source_bytes));
    ASSERT_TRUE(test_support::WriteFileBytes(scratch / "to", {}));
    platform::File from = platform::File::OpenStream(scratch / "from", platform::StreamMode::kRead);
    platform::File to = platform::File::OpenStream(
        scratch / "to", c.writable ? platform::StreamMode::kUpdate : platform::StreamMode::kRead);
    std::vector<std::uint8_t> buffer(2048);

    const platform::BlockCopyResult result =
        platform::CopyBlocks(from, to, c.size, buffer, c.on_short);
    to.Close();

    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.written, c.written);
    const std::vector<std::uint8_t> copied = test_support::ReadFileBytes(scratch / "to");
    EXPECT_EQ(copied,
              std::vector<std::uint8_t>(source_bytes.begin(), source_bytes.begin() + c.written));
  }
}

TEST(CopyBlocks, EachBlockGoesToPutInOrder) {
  test_support::ScratchFolder scratch;
  const std::vector<std::uint8_t> source_bytes = Pattern(5000);
  ASSERT_TRUE(test_support::WriteFileBytes(scratch / "from", source_bytes));
  platform::File from = platform::File::OpenStream(scratch / "from", platform::StreamMode::kRead);
  std::vector<std::uint8_t> buffer(2048);
  std::vector<std::size_t> blocks;
  std::vector<std::uint8_t> seen;
  const auto put = [&](std::span<const std::uint8_t> block) {
    blocks.push_back(block.size());
    seen.insert(seen.end(), block.begin(), block.end());
    // Takes one byte less of the last block: a short write.
    return static_cast<std::uint32_t>(block.size() == 904 ? 903 : block.size());
  };
  const platform::BlockCopyResult result =
      platform::CopyBlocks(from, 5000, buffer, ShortBlock::kStop, put);
  EXPECT_EQ(blocks, (std::vector<std::size_t>{2048, 2048, 904}));
  EXPECT_EQ(seen, source_bytes);
  EXPECT_EQ(result.status, status::kWriteFailed);
  EXPECT_EQ(result.written, 4999u);
}

TEST(CopyBlocks, NoBufferIsNoMemory) {
  platform::File from;
  platform::File to;
  EXPECT_EQ(platform::CopyBlocks(from, to, 10, {}, ShortBlock::kStop).status, status::kNoMemory);
  EXPECT_EQ(platform::CopyBlocks(from, to, 0, {}, ShortBlock::kStop).status, status::kOk);
}

}  // namespace

// omnipack encode and decode on raw LZHUF streams.

#include <gtest/gtest.h>

#include <string>

#include "tool_test_support.h"

namespace tool_test {
namespace {

fs::path LzhufFixture(const std::string& name) {
  return fs::path(OMNI_FIXTURES) / "lzhuf" / name;
}

TEST(Codec, DecodeReadsTheReferenceStreams) {
  TempDir dir;
  for (const std::string name : {"abc", "exact-4097", "english-160k"}) {
    SCOPED_TRACE(name);
    const std::string out = dir / (name + ".out");
    const ToolRun run = RunTool({"decode", LzhufFixture(name + ".lzh").string(), out});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(ReadBytes(out), ReadBytes(LzhufFixture(name + ".bin")));
  }
}

TEST(Codec, EncodeThenDecodeGivesBackTheInput) {
  TempDir dir;
  for (const std::string name : {"one-byte", "binary-gzip", "random-64k"}) {
    SCOPED_TRACE(name);
    const std::string packed = dir / (name + ".lzh");
    const std::string unpacked = dir / (name + ".bin");
    ASSERT_EQ(RunTool({"encode", LzhufFixture(name + ".bin").string(), packed}).exit_code, 0);
    const std::vector<std::uint8_t> stream = ReadBytes(packed);
    const std::vector<std::uint8_t> original = ReadBytes(LzhufFixture(name + ".bin"));
    ASSERT_GE(stream.size(), 4u);
    EXPECT_EQ(package::ReadLe32(stream.data()), original.size());
    ASSERT_EQ(RunTool({"decode", packed, unpacked}).exit_code, 0);
    EXPECT_EQ(ReadBytes(unpacked), original);
  }
}

TEST(Codec, StreamsWithoutASizeAreRefused) {
  TempDir dir;
  const std::string empty = LzhufFixture("empty.bin").string();
  const std::string empty_stream = LzhufFixture("empty.lzh").string();
  ToolRun run = RunTool({"decode", empty_stream, dir / "out"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err,
            "omnipack: " + empty_stream + ": no stream: the size word is missing or zero\n");
  run = RunTool({"encode", empty, dir / "out.lzh"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err.rfind("omnipack: " + empty + ": ", 0), 0u) << run.err;
  run = RunTool({"decode", dir / "missing.lzh", dir / "out"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err, "omnipack: " + (dir / "missing.lzh") + ": cannot be opened\n");
}

}  // namespace
}  // namespace tool_test

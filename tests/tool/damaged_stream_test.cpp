// omnipack on streams that need more data than they hold: verify, extract and decode each name
// the damaged entry or file and exit with 1.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "package/crc32.h"
#include "package/format.h"
#include "tool_test_support.h"

namespace tool_test {
namespace {

using Bytes = std::vector<std::uint8_t>;

void PutLe32(Bytes& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// The installer with the main set's last entry cut to half of its stream, and everything around
// it kept consistent (entry header, set size, signature), as a faulty builder would leave it.
// name receives the entry's name.
Bytes WithLastEntryCut(const Bytes& installer, std::string& name) {
  const package::PackageTrailer trailer = TrailerOf(installer);
  const std::vector<package::DirectoryRecord> records = DirectoryOf(installer);
  const package::DirectoryRecord& last = *std::max_element(
      records.begin(), records.end(),
      [](const auto& a, const auto& b) { return a.entry_offset < b.entry_offset; });
  name = last.Name();
  const std::size_t set_start = static_cast<std::size_t>(MainSetStart(trailer));
  const std::size_t header = set_start + last.entry_offset;
  const std::uint32_t size = package::ReadLe32(&installer[header + 278]);
  const std::uint32_t cut = size - size / 2;

  Bytes bytes = installer;
  PutLe32(bytes, header + 278, size - cut);
  const std::size_t data_end = header + package::kEntryHeaderSize + size;
  bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(data_end - cut),
              bytes.begin() + static_cast<std::ptrdiff_t>(data_end));
  const std::uint32_t set_size = trailer.main_set_size - cut;
  PutLe32(bytes, bytes.size() - package::kTrailerSize + 21, set_size);
  const std::size_t signature = set_start + set_size - package::kSignatureSize;
  std::uint32_t crc = package::kSignatureCrcStart;
  package::Crc32Update(&bytes[set_start], signature - set_start, &crc);
  PutLe32(bytes, signature + 11, crc);
  return bytes;
}

TEST(DamagedStream, VerifyExtractAndDecodeNameIt) {
  TempDir dir;
  const std::string built = dir / "good.exe";
  const ToolRun build = BuildFixtureInstaller(built);
  ASSERT_EQ(build.exit_code, 0) << build.err;
  std::string name;
  const std::string damaged = dir / "damaged.exe";
  WriteBytes(damaged, WithLastEntryCut(ReadBytes(built), name));
  const std::string cut_stream = dir / "cut.lzh";
  Bytes stream = ReadBytes(FixturePath("../lzhuf/english-160k.lzh"));
  stream.resize(stream.size() / 2);
  WriteBytes(cut_stream, stream);

  const std::string damage = "damaged: the stream needs more data than it holds";
  const struct {
    std::vector<std::string> args;
    std::vector<std::string> out;  // the starts of the lines expected on stdout, in order
    std::vector<std::string> err;  // the same for stderr
  } kCases[] = {
      // The cut also leaves the entry shorter than its directory record says.
      {{"verify", damaged},
       {damaged + ": main set: entry " + name + ": " + damage,
        damaged + ": directory record " + name + ": states "},
       {}},
      {{"extract", damaged, "-o", dir / "out"},
       {},
       {"omnipack: " + damaged + ": main set: entry " + name + ": " + damage}},
      {{"decode", cut_stream, dir / "cut.bin"}, {}, {"omnipack: " + cut_stream + ": " + damage}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.args[0]);
    const ToolRun run = RunTool(c.args);
    EXPECT_EQ(run.exit_code, 1);
    for (const auto& [text, expected] : {std::pair{run.out, c.out}, std::pair{run.err, c.err}}) {
      const std::vector<std::string> lines = Lines(text);
      ASSERT_EQ(lines.size(), expected.size()) << text;
      for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i].rfind(expected[i], 0), 0u) << lines[i];
    }
  }
  // Nothing is written that the cut stream could not make: at most its whole output blocks.
  EXPECT_LT(ReadBytes(dir / "cut.bin").size(), 160000u);
}

}  // namespace
}  // namespace tool_test

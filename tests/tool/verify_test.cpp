// omnipack verify on damaged installers: one line per violated rule, exit code 1.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "tool_test_support.h"

namespace tool_test {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Offset of the first header of the main set and of the compressed data of the entry there.
std::size_t MainEntryAt(const Bytes& installer, std::uint32_t entry_offset) {
  return static_cast<std::size_t>(MainSetStart(TrailerOf(installer)) + entry_offset);
}

package::DirectoryRecord RecordNamed(const Bytes& installer, const std::string& name) {
  for (const package::DirectoryRecord& record : DirectoryOf(installer)) {
    if (record.Name() == name)
      return record;
  }
  ADD_FAILURE() << "no record " << name;
  return {};
}

// File offset of the first directory record; the first record is DETECT.DAT.
std::size_t FirstRecord(const Bytes& installer) {
  return installer.size() - package::kTrailerSize -
         package::kDirectoryRecordSize * DirectoryOf(installer).size();
}

// Hour, minute, second, year - 1900, month, day.
void SetTime(Bytes& installer, std::size_t at, const std::array<std::uint8_t, 6>& time) {
  std::copy(time.begin(), time.end(), installer.begin() + static_cast<std::ptrdiff_t>(at));
}

void FlipEntryData(Bytes& installer, const std::string& name) {
  const package::DirectoryRecord record = RecordNamed(installer, name);
  // Past the 4-byte size word, inside the bit stream.
  installer[MainEntryAt(installer, record.entry_offset) + package::kEntryHeaderSize + 4 +
            (record.compressed_size - 4) / 2] ^= 0xFF;
}

struct Damage {
  const char* what;
  std::function<void(Bytes&)> apply;
  std::vector<std::string> lines;  // a part of each expected line, in order
};

const std::vector<Damage>& Damages() {
  static const std::vector<Damage> damages = {
      {"a byte of an entry's bit stream",
       [](Bytes& b) { FlipEntryData(b, "ORQSCRIP.OSC"); },
       {"main set: the signature CRC", "directory record ORQSCRIP.OSC: CRC"}},
      {"a directory record's CRC",
       [](Bytes& b) {
         const std::size_t directory = b.size() - package::kTrailerSize -
                                       package::kDirectoryRecordSize * DirectoryOf(b).size();
         b[directory + 144] ^= 0x01;  // the first record is DETECT.DAT
       },
       {"directory record DETECT.DAT: CRC"}},
      {"a directory record's name",
       [](Bytes& b) {
         const std::size_t directory = b.size() - package::kTrailerSize -
                                       package::kDirectoryRecordSize * DirectoryOf(b).size();
         b[directory] = 'X';
       },
       {"directory record XETECT.DAT: no main-set entry"}},
      {"the size an entry header states",
       [](Bytes& b) {
         const package::DirectoryRecord record = RecordNamed(b, "sub\\TITLES.DAT");
         b[MainEntryAt(b, record.entry_offset) + 274] ^= 0x01;
       },
       {"main set: the signature CRC",
        "main set: entry sub\\TITLES.DAT: decodes to 400 bytes, its header states 401"}},
      {"a byte of the language set",
       [](Bytes& b) {
         b[TrailerOf(b).payload_offset + 4 + package::kEntryHeaderSize + 10] ^= 0xFF;
       },
       // The flipped byte leaves the first library's stream short of the bits it needs.
       {"language set: the signature CRC", "language set: entry OPStbRes.dll: damaged"}},
      {"the main set's magic",
       [](Bytes& b) { b[MainSetStart(TrailerOf(b)) - 1] ^= 0xFF; },
       {"main set: no set magic"}},
      {"the trailer's marker",
       [](Bytes& b) { b[b.size() - package::kTrailerSize + 4] = '-'; },
       {"no package marker"}},
      {"a byte after a record's name",
       [](Bytes& b) { b[FirstRecord(b) + 143] = 'x'; },
       {"directory record DETECT.DAT: bytes after its name's closing zero are not zero"}},
      {"a record's name without its closing zero",
       [](Bytes& b) { std::fill_n(b.begin() + FirstRecord(b), 144, 'N'); },
       {"directory record " + std::string(144, 'N') +
            ": its name fills all 144 bytes of its field, without the closing zero",
        "directory record " + std::string(144, 'N') + ": no main-set entry of that name"}},
      {"a record's reserved byte",
       [](Bytes& b) { b[FirstRecord(b) + 155] = 0x01; },
       {"directory record DETECT.DAT: its reserved bytes (offsets 148-159) are not zero"}},
      {"a record's size",
       [](Bytes& b) { b[FirstRecord(b) + 160] ^= 0x01; },
       {"directory record DETECT.DAT: states a size of"}},
      {"a record's compressed size",
       [](Bytes& b) { b[FirstRecord(b) + 170] ^= 0x01; },
       {" compressed bytes, its entry holds"}},
      {"a record's entry offset",
       [](Bytes& b) { b[FirstRecord(b) + 174] ^= 0x01; },
       {"directory record DETECT.DAT: places its entry at byte"}},
      {"a record dated 30 February",
       [](Bytes& b) {
         SetTime(b, FirstRecord(b) + 164, {12, 0, 0, 124, 2, 30});
       },
       {"directory record DETECT.DAT: time stamp 2024-02-30 12:00:00 is no valid local time",
        "directory record DETECT.DAT: time stamp 2024-02-30 12:00:00 differs from its entry's"}},
      {"an entry header's hour 24",
       [](Bytes& b) {
         const package::DirectoryRecord record = RecordNamed(b, "DETECT.DAT");
         SetTime(b, MainEntryAt(b, record.entry_offset) + 282, {24, 0, 0, 124, 3, 5});
       },
       {"main set: the signature CRC",
        "main set: entry DETECT.DAT: time stamp 2024-03-05 24:00:00 is no valid local time",
        "differs from its entry's 2024-03-05 24:00:00"}},
      {"bytes between the main set and the directory",
       [](Bytes& b) {
         const std::size_t directory = b.size() - package::kTrailerSize -
                                       package::kDirectoryRecordSize * DirectoryOf(b).size();
         b.insert(b.begin() + static_cast<std::ptrdiff_t>(directory), 3, 0x00);
       },
       {"the main set ends at offset"}},
  };
  return damages;
}

TEST(Verify, ReportsEachViolatedRuleOnItsOwnLine) {
  TempDir dir;
  const std::string built = dir / "good.exe";
  const ToolRun build = BuildFixtureInstaller(built);
  ASSERT_EQ(build.exit_code, 0) << build.err;
  const Bytes good = ReadBytes(built);

  for (const Damage& damage : Damages()) {
    SCOPED_TRACE(damage.what);
    Bytes bytes = good;
    damage.apply(bytes);
    const std::string damaged = dir / "damaged.exe";
    WriteBytes(damaged, bytes);
    const ToolRun verify = RunTool({"verify", damaged});
    EXPECT_EQ(verify.exit_code, 1);
    const std::vector<std::string> lines = Lines(verify.out);
    ASSERT_EQ(lines.size(), damage.lines.size()) << verify.out << verify.err;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      EXPECT_EQ(lines[i].rfind(damaged + ": ", 0), 0u) << lines[i];
      EXPECT_NE(lines[i].find(damage.lines[i]), std::string::npos) << lines[i];
    }
  }
}

TEST(Verify, JsonListsTheViolations) {
  TempDir dir;
  const std::string stub = FixturePath("stub.exe").string();
  const ToolRun verify = RunTool({"verify", "--json", stub});
  EXPECT_EQ(verify.exit_code, 1);
  EXPECT_EQ(
      verify.out,
      "{\"file\":\"" + stub +
          "\",\"ok\":false,\"signature\":null,\"violations\":[\"no package marker at the end of "
          "the file\"]}\n");
}

TEST(Verify, MissingFileIsAnErrorNamingIt) {
  const ToolRun verify = RunTool({"verify", "/nonexistent/update.exe"});
  EXPECT_EQ(verify.exit_code, 1);
  EXPECT_EQ(verify.out, "");
  EXPECT_EQ(Lines(verify.err).size(), 1u);
  EXPECT_EQ(verify.err.rfind("omnipack: /nonexistent/update.exe: ", 0), 0u) << verify.err;
}

}  // namespace
}  // namespace tool_test

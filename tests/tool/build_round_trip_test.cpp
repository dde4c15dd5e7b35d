// omnipack build, then the installer's own reader, omnipack verify, list and extract on the result.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "package/container.h"
#include "text_format.h"
#include "tool_test_support.h"

namespace tool_test {
namespace {

class BuildRoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    CopyFixtureFolder("main", main_);
    CopyFixtureFolder("lang", lang_);
  }

  ToolRun Build(const fs::path& main, const fs::path& out, std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {"build",  "--main", main.string(), "--lang",    lang_.string(),
                                     "--stub", stub_,    "-o",          out.string()};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunTool(args);
  }

  TempDir dir_;
  const fs::path main_ = dir_.path() / "main";
  const fs::path lang_ = dir_.path() / "lang";
  const std::string stub_ = FixturePath("stub.exe").string();
  const fs::path installer_ = dir_.path() / "update.exe";
};

TEST_F(BuildRoundTrip, BuildsQuietlyAndTheResultVerifies) {
  const ToolRun build = Build(main_, installer_, {"--no-record", "readme.txt"});
  ASSERT_EQ(build.exit_code, 0) << build.err;
  EXPECT_EQ(build.out, "");
  // Only the check's warnings: the fixture's script uses none of its files.
  for (const std::string& line : Lines(build.err))
    EXPECT_NE(line.find(": warning: no command of the script uses this file"), std::string::npos);
  EXPECT_FALSE(fs::exists(installer_.string() + ".part"));

  const ToolRun verify = RunTool({"verify", installer_.string()});
  EXPECT_EQ(verify.exit_code, 0) << verify.out << verify.err;
  EXPECT_EQ(verify.out, "");

  const ToolRun json = RunTool({"verify", "--json", installer_.string()});
  EXPECT_EQ(json.exit_code, 0);
  EXPECT_EQ(json.out, "{\"file\":\"" + installer_.string() +
                          "\",\"ok\":true,\"signature\":null,\"violations\":[]}\n");
}

// Checked with the installer's reader and by hand, not with omnipack's own inspection.
TEST_F(BuildRoundTrip, WritesStubTrailerAndDirectoryAsTheInstallerReadsThem) {
  const ToolRun build = Build(
      main_, installer_, {"--nt-only", "--exclude-groups", "5", "--no-record", "sub/tool.dll"});
  ASSERT_EQ(build.exit_code, 0) << build.err;
  const std::vector<std::uint8_t> bytes = ReadBytes(installer_);
  const std::vector<std::uint8_t> stub = ReadBytes(stub_);
  ASSERT_GT(bytes.size(), stub.size());
  EXPECT_TRUE(std::equal(stub.begin(), stub.end(), bytes.begin()));

  package::PackageDescriptor descriptor;
  ASSERT_EQ(package::ReadPackageTrailer(installer_.string(), descriptor), 0);
  const package::PackageTrailer& trailer = descriptor.trailer;
  EXPECT_EQ(trailer.payload_offset, stub.size());
  EXPECT_EQ(trailer.flags, 0x1u | 5u << 1);
  const std::vector<std::uint8_t> magic = {0xEF, 0xBE, 0xAD, 0xDE};
  EXPECT_TRUE(std::equal(magic.begin(), magic.end(), bytes.begin() + trailer.payload_offset));
  EXPECT_TRUE(std::equal(magic.begin(), magic.end(), bytes.begin() + MainSetStart(trailer) - 4));
  EXPECT_EQ(
      MainSetStart(trailer) + trailer.main_set_size,
      bytes.size() - package::kTrailerSize - package::kDirectoryRecordSize * trailer.record_count);

  // Records in byte order of the stored names, every main-set file but the one left out.
  std::vector<std::string> names;
  for (const package::DirectoryRecord& record : descriptor.directory) {
    names.push_back(record.Name());
    std::string host_name = record.Name();
    std::replace(host_name.begin(), host_name.end(), '\\', '/');
    const std::vector<std::uint8_t> original = ReadBytes(main_ / host_name);
    EXPECT_EQ(record.crc, FileCrc(original)) << host_name;
    EXPECT_EQ(record.original_size, original.size()) << host_name;
    EXPECT_EQ(record.time, kFixtureTime) << host_name;

    package::EntryHeaderBytes header_bytes{};
    const auto header_at =
        bytes.begin() + static_cast<std::ptrdiff_t>(MainSetStart(trailer) + record.entry_offset);
    std::copy(header_at, header_at + package::kEntryHeaderSize, header_bytes.begin());
    const package::EntryHeader header = package::ParseEntryHeader(header_bytes);
    EXPECT_TRUE(header.HasTag()) << host_name;
    EXPECT_EQ(header.Name(), record.Name());
    EXPECT_EQ(header.original_size, original.size());
    EXPECT_EQ(header.compressed_size, record.compressed_size);
    EXPECT_EQ(header.time, kFixtureTime);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"DETECT.DAT", "ORQSCRIP.OSC", "readme.txt",
                                             "sub\\TITLES.DAT", "sub\\deeper\\notes.ini"}));
}

TEST_F(BuildRoundTrip, ExtractGivesBackEveryFileWithItsTime) {
  ASSERT_EQ(Build(main_, installer_).exit_code, 0);
  const std::vector<std::pair<std::string, fs::path>> sets = {{"main", main_}, {"lang", lang_}};
  for (const auto& [set, source] : sets) {
    const fs::path out = dir_.path() / ("out-" + set);
    const ToolRun extract =
        RunTool({"extract", "--set", set, installer_.string(), "-o", out.string()});
    ASSERT_EQ(extract.exit_code, 0) << extract.err;
    ASSERT_EQ(FilesBelow(out), FilesBelow(source)) << set;
    for (const std::string& file : FilesBelow(source)) {
      EXPECT_EQ(ReadBytes(out / file), ReadBytes(source / file)) << file;
      EXPECT_EQ(ModificationTime(out / file), kFixtureTime) << file;
    }
  }
}

TEST_F(BuildRoundTrip, ExtractRefusesASetWhoseSignatureFails) {
  ASSERT_EQ(Build(main_, installer_).exit_code, 0);
  std::vector<std::uint8_t> bytes = ReadBytes(installer_);
  bytes[MainSetStart(TrailerOf(bytes)) + package::kEntryHeaderSize + 8] ^= 0xFF;
  WriteBytes(installer_, bytes);
  const fs::path out = dir_.path() / "out";
  const ToolRun extract = RunTool({"extract", installer_.string(), "-o", out.string()});
  EXPECT_EQ(extract.exit_code, 1);
  EXPECT_EQ(extract.err, "omnipack: " + installer_.string() +
                             ": main set: its signature does not match; nothing extracted\n");
  EXPECT_FALSE(fs::exists(out));
}

TEST_F(BuildRoundTrip, SameFilesAndTimesGiveTheSameInstaller) {
  const fs::path other_main = dir_.path() / "elsewhere" / "main";
  fs::create_directories(other_main.parent_path());
  CopyFixtureFolder("main", other_main);
  const fs::path second = dir_.path() / "second.exe";
  ASSERT_EQ(Build(main_, installer_).exit_code, 0);
  ASSERT_EQ(Build(other_main, second).exit_code, 0);
  EXPECT_EQ(ReadBytes(installer_), ReadBytes(second));

  // The time stamps are part of the package: a touched file changes it.
  SetModificationTime(other_main / "readme.txt", {8, 0, 0, 125, 1, 2});
  ASSERT_EQ(Build(other_main, second).exit_code, 0);
  EXPECT_NE(ReadBytes(installer_), ReadBytes(second));
}

TEST_F(BuildRoundTrip, ListShowsEveryEntryWithItsRecord) {
  ASSERT_EQ(Build(main_, installer_, {"--no-record", "readme.txt"}).exit_code, 0);
  const ToolRun list = RunTool({"list", installer_.string()});
  ASSERT_EQ(list.exit_code, 0) << list.err;
  const std::vector<std::string> lines = Lines(list.out);
  auto line_of = [&](const std::string& set, const std::string& name) {
    for (const std::string& line : lines) {
      if (line.rfind(set + " ", 0) == 0 && line.find(" " + name + " ") != std::string::npos) {
        return line;
      }
    }
    return std::string();
  };
  for (const std::string& file : FilesBelow(main_)) {
    std::string stored = file;
    std::replace(stored.begin(), stored.end(), '/', '\\');
    const std::string line = line_of("main", stored);
    ASSERT_FALSE(line.empty()) << stored << "\n" << list.out;
    const std::vector<std::uint8_t> original = ReadBytes(main_ / file);
    const std::string size_column = std::string(" ").append(std::to_string(original.size())) + " ";
    EXPECT_NE(line.find(size_column), std::string::npos) << line;
    EXPECT_NE(line.find("2024-03-05 14:07:09"), std::string::npos) << line;
    const std::string record = file == "readme.txt" ? "-" : omnipack::HexText(FileCrc(original));
    EXPECT_EQ(line.substr(line.size() - record.size()), record) << line;
  }
  EXPECT_FALSE(line_of("language", "OPStbResDEU.dll").empty()) << list.out;

  const ToolRun json = RunTool({"list", "--json", installer_.string()});
  ASSERT_EQ(json.exit_code, 0);
  EXPECT_NE(json.out.find("\"name\":\"sub\\\\deeper\\\\notes.ini\""), std::string::npos);
  EXPECT_NE(json.out.find("\"nt_only\":false"), std::string::npos);
  EXPECT_NE(json.out.find("\"time\":\"2024-03-05 14:07:09\""), std::string::npos);
}

}  // namespace
}  // namespace tool_test

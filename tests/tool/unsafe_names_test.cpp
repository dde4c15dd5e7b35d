// Installers whose entries carry names that build refuses, written past its checks with the
// package writer: verify names each entry and the rule it breaks, and extract writes none of them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "package_writer.h"
#include "tool_test_support.h"

namespace tool_test {
namespace {

class UnsafeNames : public testing::Test {
 protected:
  void SetUp() override {
    WriteText(dir_.path() / "x.txt", "xyz");
    WriteText(dir_.path() / "ORQSCRIP.OSC", "[Main]\r\n");
    omnipack::PackageInput input;
    input.stub_path = FixturePath("stub.exe").string();
    const std::string library = FixturePath("lang/OPStbRes.dll").string();
    input.language_entries = {
        {library, "OPStbRes.dll", fs::file_size(library), kFixtureTime, false}};
    input.main_entries = {{dir_ / "ORQSCRIP.OSC", "ORQSCRIP.OSC", 8, kFixtureTime, true}};
    for (const char* name : {"COM1", "sub\\con.txt", "NUL. ", "..", "C:x.txt", "\\abs.txt",
                             "cache.TMP", "Readme.txt", "README.TXT"}) {
      input.main_entries.push_back({dir_ / "x.txt", name, 3, kFixtureTime, false});
    }
    ASSERT_EQ(omnipack::WritePackage(input, installer()), std::nullopt);
  }
  std::string installer() const { return dir_ / "unsafe.exe"; }

  TempDir dir_;
};

TEST_F(UnsafeNames, VerifyReportsEachEntryAndTheRule) {
  const ToolRun verify = RunTool({"verify", installer()});
  EXPECT_EQ(verify.exit_code, 1);
  const std::vector<std::string> expected = {
      "main set: entry COM1: name \"COM1\" names a device (CON, NUL, COM1, ...) on Windows",
      "main set: entry sub\\con.txt: name \"sub\\con.txt\" names a device (CON, NUL, COM1, ...) "
      "on Windows",
      "main set: entry NUL. : name \"NUL. \" names a device (CON, NUL, COM1, ...) on Windows",
      "main set: entry ..: name \"..\" would leave the folder it is unpacked into",
      "main set: entry C:x.txt: name \"C:x.txt\" would leave the folder it is unpacked into",
      "main set: entry \\abs.txt: name \"\\abs.txt\" would leave the folder it is unpacked into",
      "main set: entry cache.TMP: name ends in \"tmp\": older installers would use the file as its "
      "own scratch file",
      "main set: entry README.TXT: name \"README.TXT\" equals \"Readme.txt\" but for case",
  };
  std::vector<std::string> lines;
  for (const std::string& line : Lines(verify.out))
    lines.push_back(line.substr(installer().size() + 2));
  EXPECT_EQ(lines, expected) << verify.err;
}

// Extraction stops at the first entry it refuses, the device COM1: nothing of it is written.
TEST_F(UnsafeNames, ExtractWritesNoneOfThem) {
  const fs::path out = dir_.path() / "out";
  const ToolRun extract = RunTool({"extract", installer(), "-o", out.string()});
  EXPECT_EQ(extract.exit_code, 1);
  EXPECT_NE(extract.err.find("extraction into " + out.string() + " failed"), std::string::npos)
      << extract.err;
  EXPECT_EQ(FilesBelow(out), std::vector<std::string>{"ORQSCRIP.OSC"});
}

}  // namespace
}  // namespace tool_test

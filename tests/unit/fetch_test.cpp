#include "package/fetch.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/filesystem.h"
#include "recording_reporter.h"
#include "test_package.h"
#include "test_support.h"

namespace {

using test_package::Bytes;
using test_package::FileCrc;
using test_package::FixtureEntry;
using test_package::Original;
using test_package::Record;
using test_support::ReadFileBytes;

using test_support::RecordingReporter;
using Report = RecordingReporter::Report;

// A main set of three files opened from a scratch folder, fetched into "pkg" beside it.
class FetchPackageFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(platform::CreateFolder(folder_), platform::CreateFolderResult::kCreated);
    ASSERT_TRUE(test_support::WriteFileBytes(
        set_path_, test_package::SignedSet({FixtureEntry("ORQSCRIP.OSC", "manpage-ls"),
                                            FixtureEntry("bin\\scan.dll", "license-gpl3"),
                                            FixtureEntry("abc.txt", "abc")})));
    set_ = package::OpenPackageFile(set_path_);
    ASSERT_TRUE(set_.IsOpen());
  }

  Status Fetch(std::string_view name, bool verify = true) {
    package::PackageRun run{set_, folder_, descriptor_, reporter_};
    out_.clear();
    return package::FetchPackageFile(run, name, out_, 260, verify);
  }

  test_support::ScratchFolder root_;
  std::string set_path_ = root_ / "ORQ2.tmp";
  std::string folder_ = root_ / "pkg";
  package::PackageFile set_;
  package::PackageDescriptor descriptor_;
  RecordingReporter reporter_;
  std::string out_;
};

TEST_F(FetchPackageFileTest, FetchesAndVerifiesOnce) {
  descriptor_.directory.Append(Record("ORQSCRIP.OSC", FileCrc(Original("manpage-ls"))));
  descriptor_.directory.Append(Record("BIN\\SCAN.DLL", FileCrc(Original("license-gpl3"))));

  ASSERT_EQ(Fetch("bin\\scan.dll"), status::kOk);
  EXPECT_EQ(out_, folder_ + "\\bin\\scan.dll");
  EXPECT_EQ(ReadFileBytes(out_), Original("license-gpl3"));
  EXPECT_EQ(reporter_.reports, (std::vector<Report>{{Report::kProgress, 74, "bin\\scan.dll"},
                                                    {Report::kLog, 83, "bin\\scan.dll"}}));

  // A file fetched before is taken as it is: no second extraction, no check.
  const Bytes changed(200, 'c');
  ASSERT_TRUE(test_support::WriteFileBytes(out_, changed));
  reporter_.reports.clear();
  EXPECT_EQ(Fetch("bin\\scan.dll"), status::kOk);
  EXPECT_EQ(out_, folder_ + "\\bin\\scan.dll");
  EXPECT_TRUE(reporter_.reports.empty());
  EXPECT_EQ(ReadFileBytes(out_), changed);
}

TEST_F(FetchPackageFileTest, RecordMustMatchNameAndCrcTogether) {
  const std::uint32_t abc_crc = FileCrc(Original("abc"));
  const struct {
    const char* what;
    std::vector<package::DirectoryRecord> directory;
    Status expected;
  } cases[] = {
      {"empty directory", {}, status::kSignatureFailed},
      {"no record of the name", {Record("ORQSCRIP.OSC", abc_crc)}, status::kSignatureFailed},
      {"record of the name with another CRC",
       {Record("abc.txt", abc_crc ^ 1)},
       status::kSignatureFailed},
      {"right CRC under another name and the name with another CRC",
       {Record("abd.txt", abc_crc), Record("abc.txt", 0)},
       status::kSignatureFailed},
      {"later record matches",
       {Record("abc.txt", 0), Record("xyz.txt", abc_crc), Record("ABC.TXT", abc_crc)},
       status::kOk},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.what);
    descriptor_.directory.Clear();
    for (const package::DirectoryRecord& record : test.directory)
      descriptor_.directory.Append(record);
    platform::RemoveFile(folder_ + "\\abc.txt");
    EXPECT_EQ(Fetch("abc.txt"), test.expected);
    // Extracted either way; a failed check does not remove it.
    EXPECT_EQ(ReadFileBytes(out_), Original("abc"));
  }
}

TEST_F(FetchPackageFileTest, WithoutVerifyNoRecordIsNeeded) {
  EXPECT_EQ(Fetch("abc.txt", false), status::kOk);
  EXPECT_EQ(ReadFileBytes(out_), Original("abc"));
}

TEST_F(FetchPackageFileTest, NameNotInTheSetIsNotExtracted) {
  descriptor_.directory.Append(Record("missing.txt", 0));
  EXPECT_EQ(Fetch("missing.txt"), status::kExtractFailed);
  EXPECT_EQ(reporter_.reports.size(), 2u);
}

// A name leaving the package folder could otherwise hand back a file that is already there.
TEST_F(FetchPackageFileTest, NameOutsideThePackageFolderIsRefused) {
  ASSERT_TRUE(test_support::WriteFileText(root_ / "outside.txt", "not from the package"));
  EXPECT_EQ(Fetch("..\\outside.txt"), status::kExtractFailed);
  EXPECT_TRUE(reporter_.reports.empty());
}

}  // namespace

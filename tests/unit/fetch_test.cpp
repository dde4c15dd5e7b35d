#include "package/fetch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/filesystem.h"
#include "recording_reporter.h"
#include "test_package.h"
#include "test_support.h"

namespace {

using test_package::Bytes;
using test_package::Entry;
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
    OpenSet({FixtureEntry("ORQSCRIP.OSC", "manpage-ls"),
             FixtureEntry("bin\\scan.dll", "license-gpl3"), FixtureEntry("abc.txt", "abc")});
  }

  void OpenSet(const Bytes& set_bytes) {
    set_.Close();
    ASSERT_TRUE(test_support::WriteFileBytes(set_path_, set_bytes));
    set_ = package::OpenPackageFile(set_path_);
    ASSERT_TRUE(set_.IsOpen());
  }
  void OpenSet(const std::vector<Entry>& entries) { OpenSet(test_package::SignedSet(entries)); }

  Status Fetch(std::string_view name, bool verify = true) {
    package::PackageRun run{set_, folder_, descriptor_, reporter_, fetched_};
    out_.clear();
    return package::FetchPackageFile(run, name, out_, 260, verify);
  }

  test_support::ScratchFolder root_;
  std::string set_path_ = root_ / "ORQ2.tmp";
  std::string folder_ = root_ / "pkg";
  package::PackageFile set_;
  package::PackageDescriptor descriptor_;
  RecordingReporter reporter_;
  package::FetchedFiles fetched_;
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

// Only what this run fetched is taken without a check: a file that something else put into the
// folder under a name the package holds is extracted over and checked; under a name the package
// does not hold it is taken as it is.
TEST_F(FetchPackageFileTest, FileThisRunDidNotFetchIsExtractedOver) {
  descriptor_.directory.Append(Record("abc.txt", FileCrc(Original("abc"))));
  const Bytes planted(300, 'p');
  ASSERT_TRUE(test_support::WriteFileBytes(folder_ + "\\abc.txt", planted));
  ASSERT_TRUE(test_support::WriteFileBytes(folder_ + "\\extra.txt", planted));

  EXPECT_EQ(Fetch("abc.txt"), status::kOk);
  EXPECT_EQ(ReadFileBytes(out_), Original("abc"));
  EXPECT_EQ(reporter_.reports.size(), 2u);
  reporter_.reports.clear();
  EXPECT_EQ(Fetch("extra.txt"), status::kOk);
  EXPECT_EQ(ReadFileBytes(out_), planted);
  EXPECT_TRUE(reporter_.reports.empty());
}

#ifndef _WIN32
// A write that fails for want of space (the file is the system's always-full device, which only
// the native build can reach) fails the fetch as an extraction and leaves nothing for a later
// fetch to take.
TEST_F(FetchPackageFileTest, FullDiskFailsTheExtraction) {
  OpenSet({FixtureEntry("big.bin", "run-1mb-zero")});
  descriptor_.directory.Append(Record("big.bin", FileCrc(Original("run-1mb-zero"))));
  std::string link = folder_ + "/big.bin";
  std::replace(link.begin(), link.end(), '\\', '/');
  std::filesystem::create_symlink("/dev/full", link);

  EXPECT_EQ(Fetch("big.bin"), status::kExtractFailed);
  EXPECT_FALSE(std::filesystem::is_symlink(link));
  EXPECT_EQ(Fetch("big.bin"), status::kOk);
  EXPECT_EQ(ReadFileBytes(out_), Original("run-1mb-zero"));
}
#endif

// A file of a megabyte or more tells, as it is decoded, how far it has come: each percent once, up
// to the whole. (Small files keep their one text, as FetchesAndVerifiesOnce shows.)
TEST_F(FetchPackageFileTest, LargeFileReportsHowFarItsDecodeHasCome) {
  OpenSet({FixtureEntry("big.bin", "run-1mb-zero")});
  descriptor_.directory.Append(Record("big.bin", FileCrc(Original("run-1mb-zero"))));

  ASSERT_EQ(Fetch("big.bin"), status::kOk);
  ASSERT_GE(reporter_.reports.size(), 4u);
  EXPECT_EQ(reporter_.reports[0], (Report{Report::kProgress, 74, "big.bin"}));
  EXPECT_EQ(reporter_.reports[1], (Report{Report::kLog, 83, "big.bin"}));
  int previous = 0;
  for (std::size_t i = 2; i < reporter_.reports.size(); ++i) {
    const Report& report = reporter_.reports[i];
    ASSERT_EQ(report.kind, Report::kProgress) << report.text;
    ASSERT_EQ(report.id, 74);
    int percent = 0;
    ASSERT_EQ(std::sscanf(report.text.c_str(), "big.bin (%d%%)", &percent), 1) << report.text;
    EXPECT_GT(percent, previous) << report.text;
    previous = percent;
  }
  EXPECT_EQ(reporter_.reports.back().text, "big.bin (100%)");
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
    // A file that failed its check is not left for a later fetch to take unchecked.
    EXPECT_EQ(platform::IsFile(out_), test.expected == status::kOk);
    EXPECT_EQ(Fetch("abc.txt"), test.expected);
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

// One run fetches file after file from the same opened set, in whatever order its script asks.
TEST_F(FetchPackageFileTest, ManyFilesAreFetchedInAnyOrder) {
  const char* const stems[] = {"abc", "one-byte", "manpage-ls", "exact-4097"};
  constexpr int kFiles = 400;
  std::vector<Entry> entries;
  for (int i = 0; i < kFiles; ++i) {
    std::string name = "dir" + std::to_string(i % 3) + "\\file";
    name += std::to_string(i);
    entries.push_back(FixtureEntry(name, stems[i % 4]));
    descriptor_.directory.Append(Record(name, FileCrc(Original(stems[i % 4]))));
  }
  OpenSet(entries);
  for (int step = 0; step < kFiles; ++step) {
    const int i = (step * 137) % kFiles;  // 137 and 400 share no factor: every file once
    const std::string& name = entries[static_cast<std::size_t>(i)].name;
    SCOPED_TRACE(name);
    ASSERT_EQ(Fetch(name), status::kOk);
    EXPECT_EQ(ReadFileBytes(out_), Original(stems[i % 4]));
  }
  EXPECT_EQ(Fetch("dir0\\file400"), status::kExtractFailed);
}

// The first entry of a name is the one fetched and checked: a record that fits only a later entry
// of that name does not pass.
TEST_F(FetchPackageFileTest, FirstEntryOfANameIsFetched) {
  OpenSet({FixtureEntry("dup.txt", "abc"), FixtureEntry("other.txt", "one-byte"),
           FixtureEntry("DUP.TXT", "manpage-ls")});
  descriptor_.directory.Append(Record("dup.txt", FileCrc(Original("manpage-ls"))));
  EXPECT_EQ(Fetch("dup.txt"), status::kSignatureFailed);
  EXPECT_FALSE(platform::IsFile(out_));

  descriptor_.directory.Append(Record("DUP.TXT", FileCrc(Original("abc"))));
  EXPECT_EQ(Fetch("dup.txt"), status::kOk);
  EXPECT_EQ(ReadFileBytes(out_), Original("abc"));
}

// An entry that does not decode fails its own fetch only; a header that is not one hides every
// entry after it.
TEST_F(FetchPackageFileTest, EntryAfterADamagedOneIsFetched) {
  Bytes set = test_package::EntryBytes(FixtureEntry("undecodable.txt", "empty"));
  test_package::Append(set, test_package::EntryBytes(FixtureEntry("abc.txt", "abc")));
  Bytes untagged = test_package::EntryBytes(FixtureEntry("untagged.txt", "one-byte"));
  untagged[3] = 0;
  test_package::Append(set, untagged);
  test_package::Append(set, test_package::EntryBytes(FixtureEntry("late.txt", "one-byte")));
  OpenSet(set);

  EXPECT_EQ(Fetch("undecodable.txt", false), status::kExtractFailed);
  EXPECT_EQ(Fetch("abc.txt", false), status::kOk);
  EXPECT_EQ(ReadFileBytes(out_), Original("abc"));
  EXPECT_EQ(Fetch("untagged.txt", false), status::kExtractFailed);
  EXPECT_EQ(Fetch("late.txt", false), status::kExtractFailed);
  EXPECT_FALSE(platform::IsFile(folder_ + "\\late.txt"));
}

// A cut-off stream fails as damaged, with or without the check, and leaves no part of the file
// for a later fetch to take as fetched.
TEST_F(FetchPackageFileTest, CutOffStreamFailsAsDamagedEveryTime) {
  Entry cut = FixtureEntry("cut.bin", "english-160k");
  cut.compressed.resize(cut.compressed.size() / 2);
  OpenSet({FixtureEntry("abc.txt", "abc"), cut});
  descriptor_.directory.Append(Record("cut.bin", FileCrc(Original("english-160k"))));
  for (const bool verify : {true, false}) {
    SCOPED_TRACE(verify);
    EXPECT_EQ(Fetch("cut.bin", verify), status::kSignatureFailed);
    EXPECT_FALSE(platform::IsFile(out_));
  }
}

// A name leaving the package folder could otherwise hand back a file that is already there.
TEST_F(FetchPackageFileTest, NameOutsideThePackageFolderIsRefused) {
  ASSERT_TRUE(test_support::WriteFileText(root_ / "outside.txt", "not from the package"));
  EXPECT_EQ(Fetch("..\\outside.txt"), status::kExtractFailed);
  EXPECT_TRUE(reporter_.reports.empty());
}

}  // namespace

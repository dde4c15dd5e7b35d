#include "package/extraction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "package/data_file.h"
#include "platform/filesystem.h"
#include "platform/system.h"
#include "test_package.h"
#include "test_support.h"

namespace {

using test_package::Bytes;
using test_package::Entry;
using test_package::FixtureEntry;
using test_package::FolderNames;
using test_package::Original;
using test_support::ReadFileBytes;
using Names = std::vector<std::string>;

// Writes a set into a scratch folder and opens it; files are unpacked into "out" beside it.
class ExtractionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(platform::CreateFolder(out_), platform::CreateFolderResult::kCreated);
  }

  package::PackageFile& Open(const Bytes& set_bytes) {
    set_.Close();
    EXPECT_TRUE(test_support::WriteFileBytes(set_path_, set_bytes));
    set_ = package::OpenPackageFile(set_path_);
    EXPECT_TRUE(set_.IsOpen());
    return set_;
  }
  package::PackageFile& Open(const std::vector<Entry>& entries) {
    return Open(test_package::SignedSet(entries));
  }

  std::string Out(std::string_view name) const { return out_ + "\\" + std::string(name); }

  test_support::ScratchFolder root_;
  std::string set_path_ = root_ / "ORQ1.tmp";
  std::string out_ = root_ / "out";
  package::PackageFile set_;
};

TEST_F(ExtractionTest, ExtractAllEntriesUnpacksEveryEntryAndItsFolders) {
  const package::TimeStamp stamp{10, 20, 30, 99, 12, 31};  // 1999-12-31 10:20:30
  Open({FixtureEntry("ORQSCRIP.OSC", "manpage-ls"), FixtureEntry("sub\\deeper\\abc.txt", "abc"),
        FixtureEntry("one.bin", "one-byte", stamp), FixtureEntry("big.bin", "mixed-binary-270k")});

  ASSERT_EQ(package::ExtractAllEntries(set_, out_), status::kOk);
  EXPECT_EQ(ReadFileBytes(Out("ORQSCRIP.OSC")), Original("manpage-ls"));
  EXPECT_EQ(ReadFileBytes(Out("sub\\deeper\\abc.txt")), Original("abc"));
  EXPECT_EQ(ReadFileBytes(Out("one.bin")), Original("one-byte"));
  EXPECT_EQ(ReadFileBytes(Out("big.bin")), Original("mixed-binary-270k"));
  // No scratch file outlives its entry.
  EXPECT_EQ(FolderNames(out_), (Names{"ORQSCRIP.OSC", "big.bin", "one.bin", "sub"}));
  EXPECT_EQ(FolderNames(Out("sub\\deeper")), (Names{"abc.txt"}));

  package::TimeStamp written;
  ASSERT_TRUE(package::GetFileTimeStamp(Out("one.bin"), written));
  EXPECT_EQ(written, stamp);
}

TEST_F(ExtractionTest, EntryWithoutTimeStampKeepsTheTimeItWasWritten) {
  Open({FixtureEntry("abc.txt", "abc")});
  const std::int64_t before = platform::CurrentTime();
  ASSERT_EQ(package::ExtractAllEntries(set_, out_), status::kOk);
  const std::int64_t after = platform::CurrentTime();

  const std::optional<std::int64_t> modified = platform::FileModificationTime(Out("abc.txt"));
  ASSERT_TRUE(modified.has_value());
  EXPECT_GE(*modified, before - 2);  // file systems round times to 2 seconds at worst
  EXPECT_LE(*modified, after + 2);
}

TEST_F(ExtractionTest, SetThatDoesNotStartWithAnEntryWritesNothing) {
  Bytes not_an_entry = test_package::SignedSet({FixtureEntry("abc.txt", "abc")});
  not_an_entry[0] = 'X';
  const Bytes only_signature = test_package::SignedSet({});
  for (const Bytes& set : {not_an_entry, only_signature}) {
    Open(set);
    EXPECT_EQ(package::ExtractAllEntries(set_, out_), status::kExtractFailed);
    EXPECT_EQ(package::ExtractEntry(set_, out_, "abc.txt"), status::kExtractFailed);
    EXPECT_EQ(FolderNames(out_), Names{});
  }
}

TEST_F(ExtractionTest, FailingEntryStopsTheSetAndKeepsEarlierFiles) {
  // A stream whose size word is zero does not decode.
  Open({FixtureEntry("first.txt", "abc"), FixtureEntry("second.txt", "empty"),
        FixtureEntry("third.txt", "one-byte")});
  EXPECT_EQ(package::ExtractAllEntries(set_, out_), status::kExtractFailed);
  EXPECT_EQ(ReadFileBytes(Out("first.txt")), Original("abc"));
  EXPECT_FALSE(platform::IsFile(Out("third.txt")));
  EXPECT_FALSE(platform::IsFile(Out("second.tmp")));
}

TEST_F(ExtractionTest, ExtractEntryFindsTheNameIgnoringCaseAndWritesTheStoredName) {
  Open({FixtureEntry("a.txt", "abc"), FixtureEntry("ORQSCRIP.OSC", "manpage-ls"),
        FixtureEntry("orqscrip.osc", "one-byte")});
  ASSERT_EQ(package::ExtractEntry(set_, out_, "OrqScrip.osc"), status::kOk);
  EXPECT_EQ(FolderNames(out_), (Names{"ORQSCRIP.OSC"}));
  EXPECT_EQ(ReadFileBytes(Out("ORQSCRIP.OSC")), Original("manpage-ls"));  // the first of the name

  // An entry before the one found first is still found.
  ASSERT_EQ(package::ExtractEntry(set_, out_, "a.txt"), status::kOk);
  EXPECT_EQ(ReadFileBytes(Out("a.txt")), Original("abc"));
}

TEST_F(ExtractionTest, ExtractEntryOfAnAbsentNameWritesNothing) {
  Open({FixtureEntry("a.txt", "abc"), FixtureEntry("b.txt", "one-byte")});
  EXPECT_EQ(package::ExtractEntry(set_, out_, "c.txt"), status::kExtractFailed);
  EXPECT_EQ(package::ExtractEntry(set_, out_, "a.tx"), status::kExtractFailed);
  EXPECT_EQ(FolderNames(out_), Names{});
}

// "f12.txt" for ("f", 12, ".txt").
std::string Numbered(std::string_view prefix, int number, std::string_view suffix) {
  std::string name(prefix);
  name += std::to_string(number);
  name += suffix;
  return name;
}

// Names are looked up through an index made on the first call; every lookup must give what a walk
// from the start would: the first entry of a name, in any order of calls.
TEST_F(ExtractionTest, ExtractEntryFindsEveryEntryOfALargeSetInAnyOrder) {
  const char* const stems[] = {"abc", "one-byte", "manpage-ls", "exact-4096", "leading-spaces"};
  constexpr int kFiles = 300;
  std::vector<Entry> entries;
  for (int i = 0; i < kFiles; ++i) {
    entries.push_back(FixtureEntry(Numbered("f", i, ".txt"), stems[i % 5]));
    if (i % 7 == 0)  // a later entry of the same name, in other case, that must never win
      entries.push_back(FixtureEntry(Numbered("F", i, ".TXT"), stems[(i + 1) % 5]));
  }
  Open(entries);
  for (int i = kFiles - 1; i >= 0; i -= 2) {
    const std::string name = Numbered("f", i, ".txt");
    SCOPED_TRACE(name);
    ASSERT_EQ(package::ExtractEntry(set_, out_, name), status::kOk);
    EXPECT_EQ(ReadFileBytes(Out(name)), Original(stems[i % 5]));
  }
  for (int i = 0; i < kFiles; i += 2) {
    const std::string name = Numbered("F", i, ".TXT");
    SCOPED_TRACE(name);
    ASSERT_EQ(package::ExtractEntry(set_, out_, name), status::kOk);
    EXPECT_EQ(ReadFileBytes(Out(Numbered("f", i, ".txt"))), Original(stems[i % 5]));
  }
  EXPECT_EQ(package::ExtractEntry(set_, out_, "f300.txt"), status::kExtractFailed);
  EXPECT_EQ(FolderNames(out_).size(), static_cast<std::size_t>(kFiles));
}

// The index keeps only a hash of each name; these two names share it.
TEST_F(ExtractionTest, NamesSharingTheIndexHashFindTheirOwnEntries) {
  Open({FixtureEntry("file1212382.txt", "abc")});
  EXPECT_EQ(package::ExtractEntry(set_, out_, "file1049599.txt"), status::kExtractFailed);
  EXPECT_EQ(FolderNames(out_), Names{});

  Open({FixtureEntry("file1212382.txt", "abc"), FixtureEntry("file1049599.txt", "one-byte")});
  ASSERT_EQ(package::ExtractEntry(set_, out_, "FILE1049599.TXT"), status::kOk);
  ASSERT_EQ(package::ExtractEntry(set_, out_, "file1212382.txt"), status::kOk);
  EXPECT_EQ(ReadFileBytes(Out("file1049599.txt")), Original("one-byte"));
  EXPECT_EQ(ReadFileBytes(Out("file1212382.txt")), Original("abc"));
}

// An entry whose data does not decode hides nothing after it; a header that is not one ends the
// set for every lookup, as does data that runs past the end of the file.
TEST_F(ExtractionTest, ExtractEntryReachesEntriesUpToTheFirstBrokenHeader) {
  Bytes set;
  test_package::Append(set, test_package::EntryBytes(FixtureEntry("a.txt", "abc")));
  test_package::Append(set, test_package::EntryBytes(FixtureEntry("undecodable.txt", "empty")));
  test_package::Append(set, test_package::EntryBytes(FixtureEntry("c.txt", "one-byte")));
  Bytes untagged = test_package::EntryBytes(FixtureEntry("untagged.txt", "abc"));
  untagged[0] = 'X';
  test_package::Append(set, untagged);
  test_package::Append(set, test_package::EntryBytes(FixtureEntry("d.txt", "abc")));
  Open(set);

  EXPECT_EQ(package::ExtractEntry(set_, out_, "d.txt"), status::kExtractFailed);
  EXPECT_EQ(package::ExtractEntry(set_, out_, "untagged.txt"), status::kExtractFailed);
  EXPECT_EQ(package::ExtractEntry(set_, out_, "undecodable.txt"), status::kExtractFailed);
  ASSERT_EQ(package::ExtractEntry(set_, out_, "c.txt"), status::kOk);
  ASSERT_EQ(package::ExtractEntry(set_, out_, "a.txt"), status::kOk);
  EXPECT_EQ(ReadFileBytes(Out("c.txt")), Original("one-byte"));
  EXPECT_FALSE(platform::IsFile(Out("d.txt")));
  EXPECT_FALSE(platform::IsFile(Out("untagged.txt")));

  Bytes overlong = test_package::EntryBytes(FixtureEntry("overlong.txt", "manpage-ls"));
  overlong.resize(overlong.size() / 2);
  set = test_package::EntryBytes(FixtureEntry("e.txt", "abc"));
  test_package::Append(set, overlong);
  Open(set);
  EXPECT_EQ(package::ExtractEntry(set_, out_, "overlong.txt"), status::kExtractFailed);
  ASSERT_EQ(package::ExtractEntry(set_, out_, "e.txt"), status::kOk);
  EXPECT_EQ(ReadFileBytes(Out("e.txt")), Original("abc"));
}

// A package file opened anew over other bytes is not answered from the old set's index.
TEST_F(ExtractionTest, ReopenedSetIsLookedUpAfresh) {
  Open({FixtureEntry("a.txt", "abc"), FixtureEntry("b.txt", "one-byte")});
  ASSERT_EQ(package::ExtractEntry(set_, out_, "b.txt"), status::kOk);
  Open({FixtureEntry("b.txt", "manpage-ls")});
  EXPECT_EQ(package::ExtractEntry(set_, out_, "a.txt"), status::kExtractFailed);
  ASSERT_EQ(package::ExtractEntry(set_, out_, "b.txt"), status::kOk);
  EXPECT_EQ(ReadFileBytes(Out("b.txt")), Original("manpage-ls"));

  // Unpacking everything in between leaves lookups working.
  ASSERT_EQ(package::ExtractAllEntries(set_, out_), status::kOk);
  ASSERT_EQ(package::ExtractEntry(set_, out_, "B.TXT"), status::kOk);
}

// Stored names are refused when they would leave the folder, when folder and name do not fit in
// 259 characters, and when they name a device. Nothing is written anywhere.
TEST_F(ExtractionTest, UnsafeOrUnfitNamesFailTheirEntry) {
  const std::size_t room = 259 - out_.size() - 1;  // characters left for the name
  const std::string too_long = std::string(room - 3, 'n') + ".txt";
  const std::string names[] = {
      "..\\evil.txt", "sub\\..\\..\\evil.txt",     "../evil.txt", "\\evil.txt", "C:\\evil.txt",
      "C:evil.txt",   "\\\\host\\share\\evil.txt", "..",          too_long,     "COM1",
      "con.txt",      "sub\\nul\\evil.txt",
  };
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    Open({FixtureEntry(name, "abc")});
    EXPECT_EQ(package::ExtractEntry(set_, out_, name), status::kExtractFailed);
    EXPECT_EQ(package::ExtractAllEntries(set_, out_), status::kExtractFailed);
    EXPECT_EQ(FolderNames(out_), Names{});
    EXPECT_EQ(FolderNames(root_.path()), (Names{"ORQ1.tmp", "out"}));
  }
}

// Each entry's compressed bytes pass through a scratch file of its own inside the folder: short
// names do not put it beside the folder, where "outtmp" and "outmp" would be overwritten and
// deleted, and names ending in "tmp" are not their own scratch file.
// Entries are decoded straight into their files: nothing is written beside the folder.
TEST_F(ExtractionTest, NothingIsWrittenBesideTheFolder) {
  const Bytes sibling_bytes = Original("manpage-ls");
  for (const char* sibling : {"outtmp", "outmp", "outtmp.tmp"})
    ASSERT_TRUE(test_support::WriteFileBytes(root_ / sibling, sibling_bytes));
  Open({FixtureEntry("a", "abc"), FixtureEntry("ab", "one-byte"),
        FixtureEntry("notes.TMP", "exact-4096"), FixtureEntry("sub\\data.tmp", "leading-spaces"),
        FixtureEntry(".", "abc")});

  // "." names the folder itself, which cannot be written as a file.
  EXPECT_EQ(package::ExtractAllEntries(set_, out_), status::kExtractFailed);
  EXPECT_EQ(ReadFileBytes(Out("a")), Original("abc"));
  EXPECT_EQ(ReadFileBytes(Out("ab")), Original("one-byte"));
  EXPECT_EQ(ReadFileBytes(Out("notes.TMP")), Original("exact-4096"));
  EXPECT_EQ(ReadFileBytes(Out("sub\\data.tmp")), Original("leading-spaces"));
  EXPECT_EQ(ReadFileBytes(root_ / "outtmp"), sibling_bytes);
  EXPECT_EQ(ReadFileBytes(root_ / "outmp"), sibling_bytes);
  EXPECT_EQ(ReadFileBytes(root_ / "outtmp.tmp"), sibling_bytes);
  EXPECT_EQ(FolderNames(root_.path()), (Names{"ORQ1.tmp", "out", "outmp", "outtmp", "outtmp.tmp"}));
  EXPECT_EQ(FolderNames(out_), (Names{"a", "ab", "notes.TMP", "sub"}));
  EXPECT_EQ(FolderNames(Out("sub")), (Names{"data.tmp"}));

  ASSERT_EQ(package::ExtractEntry(set_, out_, "ab"), status::kOk);
  EXPECT_EQ(FolderNames(root_.path()), (Names{"ORQ1.tmp", "out", "outmp", "outtmp", "outtmp.tmp"}));
  EXPECT_EQ(ReadFileBytes(root_ / "outmp"), sibling_bytes);
}

// An entry whose stream needs more data than it holds fails as damaged, naming itself; what came
// before it stays, and no scratch file is left.
TEST_F(ExtractionTest, DamagedStreamFailsAsDamaged) {
  Entry cut = FixtureEntry("cut.bin", "english-160k");
  cut.compressed.resize(cut.compressed.size() / 2);
  Entry overstated = FixtureEntry("overstated.bin", "abc");
  overstated.compressed[3] = 0xFF;  // the size word says about 4 GiB
  for (const Entry& damaged : {cut, overstated}) {
    SCOPED_TRACE(damaged.name);
    Open({FixtureEntry("first.txt", "abc"), damaged, FixtureEntry("last.txt", "one-byte")});
    std::string failed;
    EXPECT_EQ(package::ExtractAllEntries(set_, out_, &failed), status::kSignatureFailed);
    EXPECT_EQ(failed, damaged.name);
    EXPECT_EQ(package::ExtractEntry(set_, out_, damaged.name), status::kSignatureFailed);
    EXPECT_EQ(ReadFileBytes(Out("first.txt")), Original("abc"));
    EXPECT_FALSE(platform::IsFile(Out("last.txt")));
    for (const std::string& name : FolderNames(out_))
      EXPECT_NE(name.rfind("ORQ", 0), 0u) << "scratch file left: " << name;
  }
}

TEST_F(ExtractionTest, NameFillingThePathExactlyIsExtracted) {
  const std::size_t room = 259 - out_.size() - 1;
  const std::string longest = std::string(room - 4, 'n') + ".txt";
  ASSERT_LE(longest.size(), 255u) << "the scratch folder's path is too short for this test";
  Open({FixtureEntry(longest, "abc")});
  ASSERT_EQ(package::ExtractAllEntries(set_, out_), status::kOk);
  EXPECT_EQ(ReadFileBytes(Out(longest)), Original("abc"));
}

// Unscrambled as they are decoded: across the decoder's blocks, and a file shorter than its header
// padded to the header's length.
TEST_F(ExtractionTest, DefinitionDataFilesAreUnscrambled) {
  const auto unscrambled = [](Bytes bytes) {
    bytes.resize(std::max(bytes.size(), package::kDataFileHeaderSize));
    const std::uint16_t seed = package::ReadLe16(&bytes[package::kDataFileHeaderSize - 2]);
    package::ScrambleDataBytes(seed, package::kDataFileHeaderSize,
                               bytes.data() + package::kDataFileHeaderSize,
                               bytes.size() - package::kDataFileHeaderSize);
    return bytes;
  };
  const Bytes stored = Original("random-64k");

  Open({FixtureEntry("DETECT.DAT", "random-64k"), FixtureEntry("sub\\repair.dat", "random-64k"),
        FixtureEntry("Titles.Dat", "english-160k"), FixtureEntry("XDETECT.DAT", "random-64k"),
        FixtureEntry("DETECT.DAT.BAK", "random-64k"), FixtureEntry("sub\\titles.dat", "abc")});
  ASSERT_EQ(package::ExtractAllEntries(set_, out_), status::kOk);
  EXPECT_EQ(ReadFileBytes(Out("DETECT.DAT")), unscrambled(stored));
  EXPECT_EQ(ReadFileBytes(Out("sub\\repair.dat")), unscrambled(stored));
  EXPECT_EQ(ReadFileBytes(Out("Titles.Dat")), unscrambled(Original("english-160k")));
  EXPECT_EQ(ReadFileBytes(Out("sub\\titles.dat")), unscrambled(Original("abc")));
  EXPECT_EQ(ReadFileBytes(Out("XDETECT.DAT")), stored);
  EXPECT_EQ(ReadFileBytes(Out("DETECT.DAT.BAK")), stored);
  EXPECT_EQ(FolderNames(out_),
            (Names{"DETECT.DAT", "DETECT.DAT.BAK", "Titles.Dat", "XDETECT.DAT", "sub"}));
  EXPECT_EQ(FolderNames(Out("sub")), (Names{"repair.dat", "titles.dat"}));
}

}  // namespace

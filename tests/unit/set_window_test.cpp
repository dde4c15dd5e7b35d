#include "package/set_window.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "package/container.h"
#include "package/extraction.h"
#include "package/format.h"
#include "package/signature.h"
#include "platform/filesystem.h"
#include "test_package.h"
#include "test_support.h"

namespace {

using test_package::Bytes;
using test_package::FixtureEntry;

constexpr std::int64_t kStart = 16;
constexpr std::int64_t kLength = 10;

// A file of 0xAA bytes around a window of the bytes 0 to 9.
class SetWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Bytes bytes(kStart, 0xAA);
    for (std::uint8_t i = 0; i < kLength; ++i)
      bytes.push_back(i);
    bytes.insert(bytes.end(), 16, 0xAA);
    ASSERT_TRUE(test_support::WriteFileBytes(path_, bytes));
    window_ = package::SetWindow(
        platform::File::OpenExisting(path_, platform::OpenMode::kReadShareRead), kStart, kLength);
    ASSERT_TRUE(window_.IsOpen());
  }

  test_support::ScratchFolder root_;
  std::string path_ = root_ / "update.exe";
  package::SetWindow window_;
};

struct WindowCase {
  const char* what;
  std::int64_t from;  // where the window stands before the seek
  std::int64_t offset;
  platform::SeekOrigin origin;
  std::int64_t position;  // the seek's answer; -1 a refused seek, which keeps the position
  std::uint32_t asked;
  Bytes read;
};

TEST_F(SetWindowTest, SeeksAndReadsOnlyInsideTheWindow) {
  using platform::SeekOrigin;
  const WindowCase cases[] = {
      {"the whole window from its start",
       5,
       0,
       SeekOrigin::kBegin,
       0,
       10,
       {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
      {"a read past the end stops at it", 0, 7, SeekOrigin::kBegin, 7, 100, {7, 8, 9}},
      {"the last byte", 0, -1, SeekOrigin::kEnd, 9, 1, {9}},
      {"at the end nothing is read", 0, 0, SeekOrigin::kEnd, 10, 4, {}},
      {"a step from the current position", 4, 2, SeekOrigin::kCurrent, 6, 2, {6, 7}},
      {"the start from the end", 3, -10, SeekOrigin::kEnd, 0, 2, {0, 1}},
      {"one past the end is refused", 3, 11, SeekOrigin::kBegin, -1, 2, {3, 4}},
      {"past the end from the end is refused", 3, 1, SeekOrigin::kEnd, -1, 1, {3}},
      {"before the start is refused", 3, -1, SeekOrigin::kBegin, -1, 1, {3}},
      {"before the start from here is refused", 3, -4, SeekOrigin::kCurrent, -1, 1, {3}},
      {"far past the end from here is refused", 3, INT64_MAX, SeekOrigin::kCurrent, -1, 1, {3}},
  };
  for (const WindowCase& test : cases) {
    SCOPED_TRACE(test.what);
    ASSERT_EQ(window_.Seek(test.from, SeekOrigin::kBegin), test.from);
    EXPECT_EQ(window_.Seek(test.offset, test.origin), test.position);
    Bytes read(test.asked, 0xEE);
    read.resize(window_.Read(read.data(), test.asked));
    EXPECT_EQ(read, test.read);
  }
  EXPECT_EQ(window_.Size(), kLength);
}

TEST_F(SetWindowTest, HoldsFromHereCountsOnlyTheWindow) {
  ASSERT_EQ(window_.Seek(4, platform::SeekOrigin::kBegin), 4);
  EXPECT_TRUE(window_.HoldsFromHere(6));
  EXPECT_FALSE(window_.HoldsFromHere(7));  // the file holds more, the window does not
  ASSERT_EQ(window_.Seek(0, platform::SeekOrigin::kEnd), kLength);
  EXPECT_TRUE(window_.HoldsFromHere(0));
  EXPECT_FALSE(window_.HoldsFromHere(1));
}

// Sets read in place inside a whole installer, with the other set, the directory and the trailer
// around them.
class InstallerSetTest : public ::testing::Test {
 protected:
  void Write(const test_package::Installer& installer) {
    ASSERT_TRUE(test_support::WriteFileBytes(path_, test_package::InstallerBytes(installer)));
    ASSERT_EQ(package::ReadPackageTrailer(path_, descriptor_), status::kOk);
  }
  Status Open(package::PackageSet which) {
    return package::OpenInstallerSet(
        platform::File::OpenExisting(path_, platform::OpenMode::kReadShareRead), descriptor_, which,
        set_);
  }

  test_support::ScratchFolder root_;
  std::string path_ = root_ / "update.exe";
  std::string out_ = root_ / "out";
  package::PackageDescriptor descriptor_;
  package::PackageFile set_;
};

TEST_F(InstallerSetTest, EachSetIsReadAndVerifiedInPlace) {
  test_package::Installer installer;
  installer.language_set = test_package::SignedSet({FixtureEntry("a.dll", "abc")});
  installer.main_set = test_package::SignedSet(
      {FixtureEntry("ORQSCRIP.OSC", "manpage-ls"), FixtureEntry("b.bin", "random-64k")});
  Write(installer);
  ASSERT_EQ(platform::CreateFolder(out_), platform::CreateFolderResult::kCreated);
  for (const auto& [which, set_bytes, name] :
       {std::tuple{package::PackageSet::kLanguage, installer.language_set, "a.dll"},
        std::tuple{package::PackageSet::kMain, installer.main_set, "b.bin"}}) {
    SCOPED_TRACE(name);
    ASSERT_EQ(Open(which), status::kOk);
    EXPECT_EQ(set_.Size(), static_cast<std::int64_t>(set_bytes.size()));
    EXPECT_EQ(package::VerifySetSignature(set_), status::kOk);
    ASSERT_EQ(package::ExtractEntry(set_, out_, name), status::kOk);
  }
  EXPECT_EQ(test_support::ReadFileBytes(out_ + "\\a.dll"), test_package::Original("abc"));
  EXPECT_EQ(test_support::ReadFileBytes(out_ + "\\b.bin"), test_package::Original("random-64k"));
}

#ifdef _WIN32
// Nobody can change the installer while its set is read: others may read it, not write it.
TEST_F(InstallerSetTest, TheInstallerStaysSharedOnlyForReading) {
  test_package::Installer installer;
  installer.language_set = test_package::SignedSet({FixtureEntry("a.dll", "abc")});
  installer.main_set = test_package::SignedSet({FixtureEntry("ORQSCRIP.OSC", "abc")});
  Write(installer);
  ASSERT_EQ(Open(package::PackageSet::kMain), status::kOk);
  EXPECT_TRUE(
      platform::File::OpenExisting(path_, platform::OpenMode::kReadShareReadWrite).IsOpen());
  EXPECT_FALSE(platform::File::OpenStream(path_, platform::StreamMode::kUpdate).IsOpen());
  set_.Close();
  EXPECT_TRUE(platform::File::OpenStream(path_, platform::StreamMode::kUpdate).IsOpen());
}
#endif

TEST_F(InstallerSetTest, ASetThatDoesNotFitItsPlaceIsRefused) {
  test_package::Installer installer;
  installer.language_set = test_package::SignedSet({FixtureEntry("a.dll", "abc")});
  installer.main_set = test_package::SignedSet({FixtureEntry("ORQSCRIP.OSC", "abc")});
  Bytes bytes = test_package::InstallerBytes(installer);
  ASSERT_TRUE(test_support::WriteFileBytes(path_, bytes));
  ASSERT_EQ(package::ReadPackageTrailer(path_, descriptor_), status::kOk);

  struct PlaceCase {
    const char* what;
    std::uint32_t language_set_size;
    std::uint32_t main_set_size;
    Status expected;
  };
  const auto language_size = static_cast<std::uint32_t>(installer.language_set.size());
  const PlaceCase cases[] = {
      {"the main set's magic is not where the language set's size puts it", language_size + 1,
       descriptor_.trailer.main_set_size, status::kBadPackage},
      {"the main set runs past the file's end", language_size,
       static_cast<std::uint32_t>(bytes.size()), status::kReadFailed},
  };
  for (const PlaceCase& test : cases) {
    SCOPED_TRACE(test.what);
    package::PackageDescriptor damaged = descriptor_;
    damaged.trailer.language_set_size = test.language_set_size;
    damaged.trailer.main_set_size = test.main_set_size;
    package::PackageFile set;
    EXPECT_EQ(package::OpenInstallerSet(
                  platform::File::OpenExisting(path_, platform::OpenMode::kReadShareRead), damaged,
                  package::PackageSet::kMain, set),
              test.expected);
  }
}

// The last entry of the main set claims more bytes than the set holds; the directory and the
// trailer behind the set would give the decoder bytes to read. The entry fails as one that runs
// past its set, and nothing is written.
TEST_F(InstallerSetTest, AnEntryLongerThanItsSetFailsWithoutReadingPastIt) {
  test_package::Installer installer;
  installer.language_set = test_package::SignedSet({FixtureEntry("a.dll", "abc")});
  const Bytes entry = test_package::EntryBytes(FixtureEntry("b.bin", "abc"));
  Bytes claimed = entry;
  package::WriteLe32(&claimed[278], package::ReadLe32(&entry[278]) + package::kSignatureSize + 1);
  installer.main_set = test_package::WithSignature(claimed, package::kSignatureVersion,
                                                   test_package::SignatureCrc(claimed));
  installer.directory = {test_package::Record("b.bin", 0)};
  Write(installer);
  ASSERT_EQ(Open(package::PackageSet::kMain), status::kOk);
  EXPECT_EQ(package::VerifySetSignature(set_), status::kOk);
  ASSERT_EQ(platform::CreateFolder(out_), platform::CreateFolderResult::kCreated);

  EXPECT_EQ(package::ExtractEntry(set_, out_, "b.bin"), status::kExtractFailed);
  std::string failed_entry;
  EXPECT_EQ(package::ExtractAllEntries(set_, out_, &failed_entry), status::kExtractFailed);
  EXPECT_EQ(failed_entry, "b.bin");
  EXPECT_EQ(test_package::FolderNames(out_), std::vector<std::string>{});
}

}  // namespace

#include "package/container.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/path.h"
#include "platform/file.h"
#include "platform/filesystem.h"
#include "platform/system.h"
#include "test_package.h"
#include "test_support.h"

namespace {

using package::PackageDescriptor;
using package::PackageSet;
using test_package::Bytes;
using test_package::Installer;
using test_support::ScratchFolder;

Bytes Filler(std::size_t size, std::uint8_t seed) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<std::uint8_t>(seed + i * 7 + i / 251);
  return bytes;
}

Installer TwoSetInstaller() {
  Installer installer;
  installer.language_set = Filler(300, 1);
  installer.main_set = Filler(700, 2);
  installer.directory = {test_package::Record("ORQSCRIP.OSC", 0x11111111),
                         test_package::Record("a\\b.dll", 0x22222222),
                         test_package::Record("DETECT.DAT", 0x33333333)};
  return installer;
}

// Writes bytes as the installer file and reads its trailer.
class ReadPackageTrailerTest : public ::testing::Test {
 protected:
  Status Read(const Bytes& bytes) {
    EXPECT_TRUE(test_support::WriteFileBytes(path_, bytes));
    return package::ReadPackageTrailer(path_, descriptor_);
  }

  ScratchFolder folder_;
  std::string path_ = folder_ / "setup.exe";
  PackageDescriptor descriptor_;
};

TEST_F(ReadPackageTrailerTest, ReadsTrailerAndDirectoryInFileOrder) {
  const Installer installer = TwoSetInstaller();
  ASSERT_EQ(Read(test_package::InstallerBytes(installer)), status::kOk);

  EXPECT_EQ(descriptor_.trailer.language_set_size, 300u);
  EXPECT_EQ(descriptor_.trailer.main_set_size, 700u);
  EXPECT_EQ(descriptor_.trailer.payload_offset, 1000u);
  ASSERT_EQ(descriptor_.directory.Count(), 3u);
  std::vector<std::string> names;
  for (const package::DirectoryRecord& record : descriptor_.directory)
    names.push_back(record.Name());
  EXPECT_EQ(names, (std::vector<std::string>{"ORQSCRIP.OSC", "a\\b.dll", "DETECT.DAT"}));
  EXPECT_EQ(descriptor_.directory.At(1)->crc, 0x22222222u);
}

TEST_F(ReadPackageTrailerTest, ZeroRecordsLeaveAnEmptyDirectory) {
  Installer installer = TwoSetInstaller();
  installer.directory.clear();
  EXPECT_EQ(Read(test_package::InstallerBytes(installer)), status::kOk);
  EXPECT_TRUE(descriptor_.directory.Empty());
}

// A package that may only run on the NT family is refused elsewhere before its directory is read.
TEST_F(ReadPackageTrailerTest, NtOnlyFlagFollowsThePlatformFamily) {
  Installer installer = TwoSetInstaller();
  installer.flags = package::kNtOnlyFlag | 0x6;
  const Status result = Read(test_package::InstallerBytes(installer));
  if (platform::IsNtFamily()) {
    EXPECT_EQ(result, status::kOk);
    EXPECT_EQ(descriptor_.directory.Count(), 3u);
  } else {
    EXPECT_EQ(result, status::kNtOnly);
    EXPECT_TRUE(descriptor_.directory.Empty());
  }
}

TEST_F(ReadPackageTrailerTest, MissingInstallerCannotBeOpened) {
  EXPECT_EQ(package::ReadPackageTrailer(folder_ / "absent.exe", descriptor_),
            status::kInstallerOpenFailed);
}

struct DamagedTrailerCase {
  const char* what;
  Bytes (*bytes)();
  Status expected;
};

Bytes WithTrailer(Installer installer, const package::PackageTrailer& trailer) {
  Bytes bytes = test_package::InstallerBytes(installer);
  const package::TrailerBytes tail = package::SerializeTrailer(trailer);
  std::copy(tail.begin(), tail.end(), bytes.end() - package::kTrailerSize);
  return bytes;
}

const DamagedTrailerCase kDamagedTrailers[] = {
    {"empty file", [] { return Bytes{}; }, status::kBadPackage},
    {"shorter than a trailer",
     [] {
       Bytes bytes = test_package::InstallerBytes(TwoSetInstaller());
       return Bytes(bytes.end() - 36, bytes.end());
     },
     status::kBadPackage},
    {"wrong marker",
     [] {
       const Installer installer = TwoSetInstaller();
       package::PackageTrailer trailer = test_package::TrailerOf(installer);
       trailer.marker[0] = '-';
       return WithTrailer(installer, trailer);
     },
     status::kBadPackage},
    {"marker without its zero",
     [] {
       const Installer installer = TwoSetInstaller();
       package::PackageTrailer trailer = test_package::TrailerOf(installer);
       trailer.marker[16] = 'X';
       return WithTrailer(installer, trailer);
     },
     status::kBadPackage},
    {"directory reaching back before the payload",
     [] {
       const Installer installer = TwoSetInstaller();
       package::PackageTrailer trailer = test_package::TrailerOf(installer);
       trailer.record_count = 3 + 1008 / 178 + 1;  // past both sets and their magics
       return WithTrailer(installer, trailer);
     },
     status::kSignatureFailed},
    {"directory reaching back before the file",
     [] {
       const Installer installer = TwoSetInstaller();
       package::PackageTrailer trailer = test_package::TrailerOf(installer);
       trailer.payload_offset = 0;
       // 178 times this is 534 in 32 bits: a wrapping reader would find the three real records.
       trailer.record_count = 0x80000003;
       return WithTrailer(installer, trailer);
     },
     status::kSignatureFailed},
};

TEST_F(ReadPackageTrailerTest, DamagedTrailersAreRefused) {
  for (const DamagedTrailerCase& damaged : kDamagedTrailers) {
    SCOPED_TRACE(damaged.what);
    descriptor_ = PackageDescriptor{};
    EXPECT_EQ(Read(damaged.bytes()), damaged.expected);
    EXPECT_TRUE(descriptor_.directory.Empty());
  }
}

// Signing appends a certificate table after the package, first padding the file with zeros to a
// multiple of 8: image sizes 1000 to 1007 give every amount of padding from 0 to 7.
TEST_F(ReadPackageTrailerTest, SignedInstallerReadsTheTrailerBeforeItsCertificateTable) {
  for (std::size_t image_size = 1000; image_size < 1008; ++image_size) {
    SCOPED_TRACE(image_size);
    Installer installer = TwoSetInstaller();
    installer.image = test_package::PeImage(image_size);
    Bytes bytes = test_package::InstallerBytes(installer);
    const std::int64_t package_end = static_cast<std::int64_t>(bytes.size());
    test_package::AppendCertificateTable(bytes, 1456);

    descriptor_ = PackageDescriptor{};
    ASSERT_EQ(Read(bytes), status::kOk);
    EXPECT_EQ(descriptor_.package_end, package_end);
    EXPECT_EQ(descriptor_.trailer.payload_offset, image_size);
    ASSERT_EQ(descriptor_.directory.Count(), 3u);
    EXPECT_EQ(descriptor_.directory.At(2)->crc, 0x33333333u);
  }
}

// Only a table that ends the file moves the package's end; anything else reads as unsigned.
TEST_F(ReadPackageTrailerTest, OnlyATableThatEndsTheFileCounts) {
  Installer installer = TwoSetInstaller();
  installer.image = test_package::PeImage(1001);
  const Bytes unsigned_bytes = test_package::InstallerBytes(installer);
  Bytes signed_bytes = unsigned_bytes;
  test_package::AppendCertificateTable(signed_bytes, 64);

  const struct {
    const char* what;
    Bytes bytes;
    Status expected;
  } cases[] = {
      {"unsigned, security entry empty", unsigned_bytes, status::kOk},
      {"a byte appended after the table",
       [&] {
         Bytes bytes = signed_bytes;
         bytes.push_back(0);
         return bytes;
       }(),
       status::kBadPackage},
      {"a non-zero byte where the alignment zeros stand",
       [&] {
         Bytes bytes = signed_bytes;
         bytes[unsigned_bytes.size()] = 1;
         return bytes;
       }(),
       status::kBadPackage},
      {"not a PE file: the entry's bytes mean nothing",
       [&] {
         Bytes bytes = signed_bytes;
         bytes[0] = 'X';
         return bytes;
       }(),
       status::kBadPackage},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    descriptor_ = PackageDescriptor{};
    EXPECT_EQ(Read(c.bytes), c.expected);
  }
}

// Copies sets out of an installer file written to a scratch folder, as located by trailer;
// removes the temporary files.
class CopySetTest : public ::testing::Test {
 protected:
  ~CopySetTest() override {
    for (const std::string& path : temp_files_)
      platform::RemoveFile(path);
  }

  Status Copy(const Bytes& installer_bytes, const package::PackageTrailer& trailer, PackageSet set,
              std::string& temp_path) {
    EXPECT_TRUE(test_support::WriteFileBytes(path_, installer_bytes));
    PackageDescriptor descriptor;
    descriptor.trailer = trailer;
    platform::File installer =
        platform::File::OpenExisting(path_, platform::OpenMode::kReadShareRead);
    temp_path.clear();
    const Status result = package::CopySetToTempFile(installer, descriptor, set, temp_path);
    if (!temp_path.empty())
      temp_files_.push_back(temp_path);
    return result;
  }

  Status Copy(const Installer& installer, PackageSet set, std::string& temp_path) {
    return Copy(test_package::InstallerBytes(installer), test_package::TrailerOf(installer), set,
                temp_path);
  }

  ScratchFolder folder_;
  std::string path_ = folder_ / "setup.exe";
  std::vector<std::string> temp_files_;
};

// The transfer buffer holds 20480 bytes: sets around that size take one or two chunks.
TEST_F(CopySetTest, CopiesEitherSetExactly) {
  for (std::size_t size : {0u, 1u, 20479u, 20480u, 20481u, 61441u}) {
    SCOPED_TRACE(size);
    Installer installer = TwoSetInstaller();
    installer.language_set = Filler(size, 3);
    installer.main_set = Filler(size + 5, 4);

    std::string language_path;
    ASSERT_EQ(Copy(installer, PackageSet::kLanguage, language_path), status::kOk);
    EXPECT_EQ(test_support::ReadFileBytes(language_path), installer.language_set);
    std::string main_path;
    ASSERT_EQ(Copy(installer, PackageSet::kMain, main_path), status::kOk);
    EXPECT_EQ(test_support::ReadFileBytes(main_path), installer.main_set);
    EXPECT_NE(language_path, main_path);
  }
}

TEST_F(CopySetTest, TempFileIsAnOrqFileInTheTemporaryDirectory) {
  std::string temp_path;
  ASSERT_EQ(Copy(TwoSetInstaller(), PackageSet::kMain, temp_path), status::kOk);
  std::string directory = temp_path;
  ASSERT_TRUE(base::StripFileName(directory));
  std::string expected_directory = platform::TempDirectory();
  if (base::EndsWithSeparator(expected_directory))
    expected_directory.pop_back();
  EXPECT_EQ(directory, expected_directory);
  EXPECT_EQ(base::FileNameOf(temp_path).substr(0, 3), "ORQ");
}

TEST_F(CopySetTest, WrongSetMagicCreatesNoTempFile) {
  const Installer installer = TwoSetInstaller();
  Bytes bytes = test_package::InstallerBytes(installer);
  bytes[installer.image.size() + 4 + installer.language_set.size()] ^= 0xFF;  // the main magic
  const package::PackageTrailer trailer = test_package::TrailerOf(installer);

  std::string temp_path;
  EXPECT_EQ(Copy(bytes, trailer, PackageSet::kLanguage, temp_path), status::kOk);
  EXPECT_EQ(Copy(bytes, trailer, PackageSet::kMain, temp_path), status::kBadPackage);
  EXPECT_TRUE(temp_path.empty());
}

TEST_F(CopySetTest, SetReachingPastTheFileEndIsAShortRead) {
  const Installer installer = TwoSetInstaller();
  package::PackageTrailer trailer = test_package::TrailerOf(installer);
  trailer.main_set_size = 0xFFFFFF00;

  std::string temp_path;
  EXPECT_EQ(Copy(test_package::InstallerBytes(installer), trailer, PackageSet::kMain, temp_path),
            status::kReadFailed);
  EXPECT_TRUE(platform::IsFile(temp_path));  // left to the caller to delete
}

TEST_F(CopySetTest, PayloadOffsetPastTheFileEndHasNoMagic) {
  const Installer installer = TwoSetInstaller();
  package::PackageTrailer trailer = test_package::TrailerOf(installer);
  trailer.payload_offset = 0xFFFFFFF0;
  trailer.language_set_size = 0xFFFFFFF0;  // the main set's magic would lie beyond 4 GB

  std::string temp_path;
  for (PackageSet set : {PackageSet::kLanguage, PackageSet::kMain}) {
    EXPECT_EQ(Copy(test_package::InstallerBytes(installer), trailer, set, temp_path),
              status::kBadPackage);
    EXPECT_TRUE(temp_path.empty());
  }
}

}  // namespace

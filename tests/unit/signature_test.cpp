#include "package/signature.h"

#include <gtest/gtest.h>

#include <string>

#include "package/container.h"
#include "package/format.h"
#include "test_package.h"
#include "test_support.h"

namespace {

using test_package::Bytes;
using test_package::SignatureCrc;
using test_package::WithSignature;

constexpr std::uint16_t kOtherVersion = 0x0200;

Bytes Data(std::size_t size) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<std::uint8_t>(i * 13 + 5);
  return bytes;
}

Bytes Signed(const Bytes& data) {
  return WithSignature(data, package::kSignatureVersion, SignatureCrc(data));
}

// The last two bytes are the length field of the last record.
Bytes WithLastLength(Bytes bytes, std::uint16_t length) {
  package::WriteLe16(&bytes[bytes.size() - 2], length);
  return bytes;
}

class VerifySetSignatureTest : public ::testing::Test {
 protected:
  Status Verify(const Bytes& bytes) {
    EXPECT_TRUE(test_support::WriteFileBytes(path_, bytes));
    package::PackageFile set = package::OpenPackageFile(path_);
    return package::VerifySetSignature(set);
  }

  test_support::ScratchFolder folder_;
  std::string path_ = folder_ / "ORQ1.tmp";
};

struct SignatureCase {
  const char* what;
  Bytes bytes;
  Status expected;
};

TEST_F(VerifySetSignatureTest, FindsAndChecksTheRecord) {
  constexpr Status kOk = status::kOk;
  constexpr Status kFailed = status::kSignatureFailed;
  const Bytes data = Data(100);
  Bytes bad_ninth_byte = Signed(data);
  bad_ninth_byte[data.size() + 8] = 1;
  // A longer record is still found by its last two bytes; only its first 15 are read.
  Bytes long_record = Signed(data);
  long_record.insert(long_record.end() - 2, {0xAA, 0xBB, 0xCC});
  long_record = WithLastLength(long_record, package::kSignatureSize + 3);

  const SignatureCase cases[] = {
      {"empty file", {}, kFailed},
      {"record alone, 17 bytes", Signed({}), kFailed},
      {"one byte and a record", Signed({0x42}), kOk},
      {"one byte and a record of the wrong CRC", WithSignature({0x42}, 0x0100, 0x12345678),
       kFailed},
      {"set with its record", Signed(data), kOk},
      {"length field 16", WithLastLength(Signed(data), 16), kFailed},
      {"length field 0", WithLastLength(Signed(data), 0), kFailed},
      {"length field equal to the file size",
       WithLastLength(Signed(data), static_cast<std::uint16_t>(data.size() + 17)), kFailed},
      {"length field reaching before the file in a chain",
       WithSignature(WithLastLength(Signed(data), 120), kOtherVersion, 0), kFailed},
      {"marker with a non-zero ninth byte", bad_ninth_byte, kFailed},
      {"longer record", long_record, kOk},
      {"checked record followed by one of another version",
       WithSignature(Signed(data), kOtherVersion, 0xFFFFFFFF), kOk},
      {"only a record of another version", WithSignature(data, kOtherVersion, SignatureCrc(data)),
       kFailed},
      {"no record at all", Data(200), kFailed},
  };
  for (const SignatureCase& test : cases) {
    SCOPED_TRACE(test.what);
    EXPECT_EQ(Verify(test.bytes), test.expected);
  }
}

TEST_F(VerifySetSignatureTest, AnyChangedByteOfTheSetIsNoticed) {
  const Bytes set =
      test_package::SignedSet({test_package::FixtureEntry("ORQSCRIP.OSC", "manpage-ls"),
                               test_package::FixtureEntry("a.txt", "abc")});
  ASSERT_EQ(Verify(set), status::kOk);
  const std::size_t covered = set.size() - package::kSignatureSize;
  for (std::size_t i = 0; i < covered; i += 97) {
    Bytes changed = set;
    changed[i] ^= 0x01;
    EXPECT_EQ(Verify(changed), status::kSignatureFailed) << "byte " << i;
  }
}

TEST_F(VerifySetSignatureTest, FindReportsTheCoveredLengthAndStoredCrc) {
  const Bytes data = Data(65537);  // one whole block and one byte
  const Bytes bytes = WithSignature(Signed(data), kOtherVersion, 0);
  EXPECT_EQ(Verify(bytes), 0);
  package::PackageFile set = package::OpenPackageFile(path_);
  const std::optional<package::SignatureLocation> location = package::FindSetSignature(set);
  ASSERT_TRUE(location.has_value());
  EXPECT_EQ(location->covered_length, data.size());
  EXPECT_EQ(location->crc, SignatureCrc(data));
}

TEST_F(VerifySetSignatureTest, MissingFileCannotBeOpened) {
  package::PackageFile absent = package::OpenPackageFile(folder_ / "absent.tmp");
  EXPECT_EQ(package::VerifySetSignature(absent), status::kOpenFailed);
}

}  // namespace

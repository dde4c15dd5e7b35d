// The signature walk over a set file: the input is the set, as the installer reads it inside the
// package. The record FindSetSignature finds must lie inside the file and cover only what is
// before it, and VerifySetSignature must agree with a sum taken here over those bytes.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "fuzz_support.h"
#include "package/container.h"
#include "package/crc32.h"
#include "package/format.h"
#include "package/signature.h"
#include "platform/file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzz_support::InputFile input;
  const std::string& path = input.Write(data, size);

  package::PackageFile set = package::OpenPackageFile(path);
  if (!set.IsOpen())
    fuzz_support::InputFile::Fail("cannot open the set");
  const std::optional<package::SignatureLocation> location = package::FindSetSignature(set);
  const Status verified = package::VerifySetSignature(set);
  if (!location) {
    if (verified != status::kSignatureFailed)
      fuzz_support::InputFile::Fail("verified without a signature record");
    return 0;
  }
  if (location->covered_length + package::kSignatureSize > size)
    fuzz_support::InputFile::Fail("the record found lies beyond the set");
  std::uint32_t crc = package::kSignatureCrcStart;
  package::Crc32Update(data, location->covered_length, &crc);
  if ((crc == location->crc) != (verified == status::kOk))
    fuzz_support::InputFile::Fail("the verdict differs from the sum of the covered bytes");
  return 0;
}

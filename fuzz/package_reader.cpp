// The package reader: the input is a whole installer. Its trailer and directory are read as the
// installer reads its own; each set is copied out, its signature checked, its entry headers walked,
// and the entries that the directory, the headers and the script's name point at are looked up
// through the set's index; the first ones found are decoded, bounded by their stated compressed
// size.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "base/ascii_case.h"
#include "fuzz_support.h"
#include "package/container.h"
#include "package/entry_index.h"
#include "package/format.h"
#include "package/lzhuf_decoder.h"
#include "package/signature.h"
#include "platform/file.h"

namespace {

// Enough to reach past the first few entries of any set, few enough to keep each input quick.
constexpr std::size_t kMaxNames = 16;
// Decoding dominates the time of an input and the decoder has its own target: a set decodes the
// first entries its lookups find, not all of them.
constexpr int kMaxDecodes = 2;

// The decoded bytes are not looked at: every block is taken.
bool Discard(const std::uint8_t*, std::uint32_t) {
  return true;
}

void AddName(std::vector<std::string>& names, std::string name) {
  for (const std::string& known : names) {
    if (base::EqualsIgnoringCase(known, name))
      return;
  }
  names.push_back(std::move(name));
}

void WalkSet(package::PackageFile& set, const package::PackageDescriptor& descriptor) {
  package::VerifySetSignature(set);

  // The headers one after the other, as a walk from the set's start meets them; then the names of
  // the directory, which need not be in the set at all.
  std::vector<std::string> names = {"ORQSCRIP.OSC"};
  std::int64_t offset = 0;
  package::EntryHeader header;
  while (names.size() < kMaxNames && set.Seek(offset, platform::SeekOrigin::kBegin) == offset &&
         package::ReadEntryHeader(set, header) && header.HasTag()) {
    AddName(names, header.Name());
    offset += static_cast<std::int64_t>(package::kEntryHeaderSize) + header.compressed_size;
  }
  for (const package::DirectoryRecord& record : descriptor.directory) {
    if (names.size() >= 2 * kMaxNames)
      break;
    AddName(names, record.Name());
  }

  int decodes = 0;
  for (const std::string& name : names) {
    if (set.SeekEntry(name, header) && decodes++ < kMaxDecodes)
      package::DecodeStream(set, header.compressed_size, Discard);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzz_support::InputFile input;
  const std::string& path = input.Write(data, size);

  package::PackageDescriptor descriptor;
  if (package::ReadPackageTrailer(path, descriptor) != status::kOk)
    return 0;
  for (const package::PackageSet which :
       {package::PackageSet::kLanguage, package::PackageSet::kMain}) {
    platform::File installer =
        platform::File::OpenExisting(path, platform::OpenMode::kReadShareRead);
    if (!installer.IsOpen())
      fuzz_support::InputFile::Fail("cannot open the installer");
    package::PackageFile set;
    if (package::OpenInstallerSet(std::move(installer), descriptor, which, set) == status::kOk)
      WalkSet(set, descriptor);
  }
  return 0;
}

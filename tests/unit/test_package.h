#pragma once

// A small package writer for the unit tests: it lays out sets, directories and installers byte for
// byte, so that the tests can also build damaged ones. Entry data comes from the LZHUF fixtures.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "package/format.h"

namespace test_package {

using Bytes = std::vector<std::uint8_t>;

struct Entry {
  std::string name;
  Bytes compressed;  // an LZHUF stream: 4-byte size, then the bits
  package::TimeStamp time;
};

// An entry holding fixtures/lzhuf/<stem>.lzh; its original is Original(stem).
Entry FixtureEntry(std::string_view name, std::string_view stem, package::TimeStamp time = {});
Bytes Original(std::string_view stem);

Bytes EntryBytes(const Entry& entry);
// Entries one after the other, closed by a signature record over all of them.
Bytes SignedSet(const std::vector<Entry>& entries);
// data followed by a 17-byte signature record of the given version and CRC.
Bytes WithSignature(Bytes data, std::uint16_t version, std::uint32_t crc);
std::uint32_t SignatureCrc(const Bytes& data);
std::uint32_t FileCrc(const Bytes& data);

package::DirectoryRecord Record(std::string_view name, std::uint32_t crc);

struct Installer {
  Bytes image = Bytes(1000, 0x4D);  // stands for the executable the package is appended to
  Bytes language_set;
  Bytes main_set;
  std::vector<package::DirectoryRecord> directory;
  std::uint32_t flags = 0;
};
// image, magic, language set, magic, main set, directory, trailer.
Bytes InstallerBytes(const Installer& installer);
// The trailer that InstallerBytes writes, for tests that damage it.
package::PackageTrailer TrailerOf(const Installer& installer);

void Append(Bytes& bytes, const Bytes& more);

// A stand-in executable image of size bytes (at least 0x200) with real PE headers: "MZ", the
// pointer at 0x3C to "PE\0\0" at 0x80, and a PE32 optional header with 16 data directories.
Bytes PeImage(std::size_t size);
inline constexpr std::size_t kSecurityEntryOffset = 0x80 + 24 + 96 + 4 * 8;
// Does to file what signing does: zeros up to the next multiple of 8, then a certificate table of
// table_size bytes that the security entry points to.
void AppendCertificateTable(Bytes& file, std::size_t table_size);

// The names in a folder, sorted; subfolders included.
std::vector<std::string> FolderNames(const std::string& folder);

}  // namespace test_package

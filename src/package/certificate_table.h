#pragma once

// A signed executable keeps its signature in a certificate table that the security entry of the
// PE optional header points to (by file offset, not by address), appended after everything else.
// Signing puts it behind the package, so a signed installer's package ends where the table starts,
// less the zero bytes that align the table to 8 bytes.

#include <cstdint>
#include <optional>

#include "platform/file.h"

namespace package {

// The table a signature hashes around: everything in the file is covered except the optional
// header's checksum, the security entry itself and the table.
struct CertificateTable {
  std::uint32_t offset = 0;  // of the table in the file
  std::uint32_t size = 0;
  std::uint32_t checksum_offset = 0;        // of the optional header's 4-byte checksum
  std::uint32_t security_entry_offset = 0;  // of the 8-byte security entry
};

// The certificate table of a PE file of length bytes, when its security entry names a table that
// ends exactly at the end of the file; none for anything else (no PE headers, no entry, an empty
// table, a table elsewhere).
std::optional<CertificateTable> FindCertificateTable(platform::File& file, std::int64_t length);

// Where the appended package of a file of length bytes ends: the file's end, or for a signed file
// the start of its certificate table, stepping back over up to 7 zero bytes of alignment when the
// trailer marker is found behind them.
std::int64_t FindPackageEnd(platform::File& file, std::int64_t length);

}  // namespace package

#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "base/record_list.h"
#include "base/status.h"
#include "package/entry_index.h"
#include "package/format.h"
#include "package/set_window.h"
#include "platform/file.h"
#include "platform/pass_progress.h"

namespace package {

// What the installer knows of its own package: the trailer and the directory in file order.
struct PackageDescriptor {
  PackageTrailer trailer;
  // Just past the trailer: the file's end, or where a signed file's certificate table begins.
  std::int64_t package_end = 0;
  base::RecordList<DirectoryRecord> directory;
};

enum class PackageSet { kLanguage, kMain };

// Reads the trailer and the directory records of the installer at path into descriptor; the
// trailer ends the file or, in a signed file, stands before the certificate table.
// status::kOk; kInstallerOpenFailed cannot open; kBadPackage no marker (or no whole trailer);
// kNtOnly an NT-only package on the 9x family; kSignatureFailed a damaged directory, one that
// would start before the payload or the file; kReadFailed a record cannot be read whole;
// kNoMemory.
Status ReadPackageTrailer(const std::string& installer_path, PackageDescriptor& descriptor);

// Copies one set (without its magic) into a new "ORQ" temporary file. status::kOk; kBadPackage no
// set magic; kTempFileFailed no temporary file; kReadFailed a short read; kWriteFailed a short
// write; kNoMemory. temp_path receives the file's path whenever it was created, also on failure;
// the caller deletes it. progress, when given, hears how far the copy has come.
Status CopySetToTempFile(platform::File& installer, const PackageDescriptor& descriptor,
                         PackageSet set, std::string& temp_path,
                         const platform::PassProgress& progress = {});

// One set, read through its window. It keeps the index of its entries, made on the first lookup
// by name, so that the fetches of one run share one walk over the set.
class PackageFile : public SetWindow {
 public:
  PackageFile() = default;
  explicit PackageFile(SetWindow window) : SetWindow(std::move(window)) {}

  // Positions the set at the compressed data of the first entry named name (ignoring case) and
  // fills header; false when the set has no such entry.
  bool SeekEntry(std::string_view name, EntryHeader& header) {
    return entries_.Find(*this, name, header);
  }

 private:
  EntryIndex entries_;
};

// One set of the installer, read in place: set receives a window onto its bytes (without its
// magic) that holds installer, which stays open, shared for reading only, while set lasts.
// status::kOk; kBadPackage no set magic; kReadFailed the set runs past the file's end.
Status OpenInstallerSet(platform::File installer, const PackageDescriptor& descriptor,
                        PackageSet which, PackageFile& set);

// A file that holds nothing but a set (a set copied out), opened for reading at its start; not
// open when the file cannot be opened or measured.
PackageFile OpenPackageFile(const std::string& path);

}  // namespace package

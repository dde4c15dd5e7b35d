#pragma once

// An existing installer opened for inspection through the installer's own reader: the trailer and
// directory as ReadPackageTrailer finds them, and each set copied out as the installer copies it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/status.h"
#include "diagnostics.h"
#include "name_index.h"
#include "package/certificate_table.h"
#include "package/container.h"
#include "scratch_file.h"
#include "set_walker.h"

namespace omnipack {

struct InstallerImage {
  std::string path;
  std::uint64_t file_size = 0;
  package::PackageDescriptor descriptor;
  // The result of ReadPackageTrailer: status::kOk; kBadPackage no marker; kSignatureFailed the
  // directory does not fit the file; kReadFailed a record cannot be read.
  Status trailer_status = status::kOk;
  // The certificate table of a signed installer.
  std::optional<package::CertificateTable> signature;
  NameIndex<package::DirectoryRecord> record_names;  // of descriptor.directory
};

// An error only when the file cannot be opened or the reader runs out of memory.
std::optional<ToolError> OpenInstaller(const std::string& path, InstallerImage& image);

struct LoadedSet {
  package::PackageSet which = package::PackageSet::kMain;
  Status status = status::kOk;  // of CopySetToTempFile, or kOpenFailed when the copy is unreadable
  ScratchFile copy;             // the set's bytes, when status is kOk
  SetContents contents;
};

LoadedSet LoadSet(const InstallerImage& image, package::PackageSet set);

std::string_view SetLabel(package::PackageSet set);  // "language set", "main set"
// Why a set could not be loaded, for a status that LoadSet returned.
std::string SetLoadProblem(Status status);

// The first record or entry of a name, compared ignoring case as the installer compares.
inline const package::DirectoryRecord* FindRecord(const InstallerImage& image,
                                                  std::string_view name) {
  return image.record_names.Find(name);
}
inline const SetEntry* FindEntry(const SetContents& contents, std::string_view name) {
  return contents.names.Find(name);
}

}  // namespace omnipack

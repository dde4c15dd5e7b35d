#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/status.h"
#include "log/reporter.h"
#include "package/container.h"

namespace package {

// What an on-demand fetch needs of the running installation.
struct PackageRun {
  PackageFile& main_set;
  std::string package_folder;
  const PackageDescriptor& descriptor;
  Reporter& reporter;
};

// Extracts name from the main set into the package folder and checks its CRC-32 against the
// directory. out receives the file's path. A file already in the folder is returned as it is; one
// that fails to extract or fails the check is removed again.
// status::kOk; kExtractFailed not extracted; kOpenFailed cannot be opened; kNoMemory;
// kSignatureFailed its stream is damaged, or no record with that name and CRC.
Status FetchPackageFile(PackageRun& run, std::string_view name, std::string& out,
                        std::size_t capacity, bool verify);

}  // namespace package

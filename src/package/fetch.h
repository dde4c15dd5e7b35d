#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>

#include "base/ascii_case.h"
#include "base/status.h"
#include "log/reporter.h"
#include "package/container.h"

namespace package {

// The files one run has fetched into its package folder, by name without regard to case: a name
// that is not here is extracted without first looking for it in the folder, a lookup that costs
// more the more files the folder holds. Also the names the run decoded and checked elsewhere
// (DecodePackageFile): a fetch of one of those later extracts it into the folder as any fetch
// does, but without the messages, which the run gave for that name already.
class FetchedFiles {
 public:
  bool Contains(std::string_view name) const {
    return in_folder_.count(base::FoldedAsciiCase(name)) != 0;
  }
  void Add(std::string_view name) { in_folder_.insert(base::FoldedAsciiCase(name)); }

  bool Announced(std::string_view name) const {
    return announced_.count(base::FoldedAsciiCase(name)) != 0;
  }
  void AddAnnounced(std::string_view name) { announced_.insert(base::FoldedAsciiCase(name)); }

 private:
  std::unordered_set<std::string> in_folder_;
  std::unordered_set<std::string> announced_;
};

// What an on-demand fetch needs of the running installation.
struct PackageRun {
  PackageFile& main_set;
  std::string package_folder;
  const PackageDescriptor& descriptor;
  Reporter& reporter;
  FetchedFiles& fetched;
};

// Extracts name from the main set into the package folder and checks its CRC-32, computed on the
// decoder's output as it is written, against the directory. out receives the file's path. A file
// this run fetched before, still in the folder, is returned as it is; one that fails to extract or
// fails the check is removed again. opened, when given, receives the file extracted now open for
// reading at its start, so that it need not be opened again; it stays closed when the file was
// there before (or cannot be kept open).
// status::kOk; kExtractFailed not extracted; kSignatureFailed its stream is damaged, or no record
// with that name and CRC.
Status FetchPackageFile(PackageRun& run, std::string_view name, std::string& out,
                        std::size_t capacity, bool verify, platform::File* opened = nullptr);

// Whether FetchPackageFile would take name as it is in the package folder (fetched there earlier
// in this run, or a file of a name the package does not hold) instead of extracting it; also when
// the name cannot be in the folder at all.
bool TakenFromPackageFolder(PackageRun& run, std::string_view name);

// Decodes name from the main set straight into into, open and empty, with the messages, progress
// and CRC check of FetchPackageFile, and gives into the entry's time stamp; the package folder is
// not touched, and a later fetch of the name extracts it anew. status::kOk; kExtractFailed no
// such entry, or it fails to extract; kWriteFailed a write to into fell short (a full disk);
// kSignatureFailed its stream is damaged, or no record with that name and CRC.
Status DecodePackageFile(PackageRun& run, std::string_view name, platform::File& into);

}  // namespace package

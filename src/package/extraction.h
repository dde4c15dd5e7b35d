#pragma once

#include <string>
#include <string_view>

#include "package/container.h"
#include "package/file_time.h"

namespace package {

// Unpacks every entry of the set into folder; false at the first entry that fails, and when the
// set does not start with an entry header.
bool ExtractAllEntries(PackageFile& set, const std::string& folder);

// Unpacks the first entry whose name equals name (ignoring case); false when there is none or it
// fails. The stored name, not the requested one, names the file. The set's entries are indexed on
// the first call, so later calls go straight to their entry.
bool ExtractEntry(PackageFile& set, const std::string& folder, std::string_view name);

// Overwrites a file with zeros (whole 4096-byte blocks, at least one) before it is deleted.
void WipeFile(const std::string& path);

}  // namespace package

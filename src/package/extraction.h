#pragma once

#include <string>
#include <string_view>

#include "package/container.h"
#include "package/file_time.h"
#include "package/lzhuf_decoder.h"

namespace package {

// Unpacks every entry of the set into folder and stops at the first entry that fails.
// status::kOk; kSignatureFailed an entry's stream is damaged (it needs more data than the entry
// holds); kExtractFailed the set does not start with an entry header, or an entry fails otherwise
// (its name leaves the folder or does not fit in 259 characters, its size word is short or zero,
// a file cannot be written). failed_entry, when given, receives the stored name of the entry that
// failed.
Status ExtractAllEntries(PackageFile& set, const std::string& folder,
                         std::string* failed_entry = nullptr);

// Unpacks the first entry whose name equals name (ignoring case). The stored name, not the
// requested one, names the file. The set's entries are indexed on the first call, so later calls
// go straight to their entry. The statuses of ExtractAllEntries; kExtractFailed also when the set
// has no such entry. progress, when given, hears how far the decode has come.
Status ExtractEntry(PackageFile& set, const std::string& folder, std::string_view name,
                    const DecodeProgress& progress = {});

// Overwrites a file with zeros (whole 4096-byte blocks, at least one) before it is deleted.
void WipeFile(const std::string& path);

}  // namespace package

#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "package/container.h"
#include "package/file_time.h"
#include "package/lzhuf_decoder.h"

namespace package {

// Unpacks every entry of the set into folder (its folders made) and stops at the first entry that
// fails. status::kOk; kSignatureFailed an entry's stream is damaged (it needs more data than the
// entry holds); kExtractFailed the set does not start with an entry header, or an entry fails
// otherwise (its name leaves the folder or does not fit in 259 characters, its size word is short
// or zero, a file cannot be written). failed_entry, when given, receives the stored name of the
// entry that failed.
Status ExtractAllEntries(PackageFile& set, const std::string& folder,
                         std::string* failed_entry = nullptr);

// Decodes the entry whose header was just read (the set stands at its compressed data) into file
// at its position, unscrambled when its stored name is a definition data file's, and gives file
// the entry's time stamp when it has one. crc, when given, receives the CRC-32 of what was
// written. status::kOk; kSignatureFailed the stream is damaged; kWriteFailed a write to file fell
// short; kExtractFailed the set ends before the entry does, or its size word is short or zero.
Status DecodeEntryInto(PackageFile& set, const EntryHeader& header, platform::File& file,
                       const DecodeProgress& progress, std::uint32_t* crc);

// Unpacks the entry whose header was just read (the set stands at its compressed data, which is
// decoded from there straight into the file) into folder, which exists; the entry's own subfolders
// are made. crc, when given, receives the CRC-32 of what was written; kept, when given, the file
// after a success, open for reading at its start (and shared for reading and writing) instead of
// closed. The statuses of ExtractAllEntries.
Status ExtractFoundEntry(PackageFile& set, const EntryHeader& header, const std::string& folder,
                         const DecodeProgress& progress, std::uint32_t* crc,
                         platform::File* kept = nullptr);

// Unpacks the first entry whose name equals name (ignoring case) into folder, which exists. The
// stored name, not the requested one, names the file. The set's entries are indexed on the first
// call, so later calls go straight to their entry. The statuses of ExtractAllEntries;
// kExtractFailed also when the set has no such entry.
Status ExtractEntry(PackageFile& set, const std::string& folder, std::string_view name);

}  // namespace package

#pragma once

#include "base/status.h"

namespace shell {

// Where management tools and the products read the outcome of the last run, under
// HKEY_LOCAL_MACHINE.
inline constexpr const char* kCompletionRecordKey =
    "SOFTWARE\\Torvane Partners\\QNT\\Shared Components\\OmniPack";
// The vendor key that must exist before the record is made: an installer run on a machine without
// the products leaves no trace.
inline constexpr const char* kVendorKey = "SOFTWARE\\Torvane Partners";

// Writes "CompletionSuccess" (the run status) and "RebootRequired" (1 when files wait for the next
// start of the system), creating the record's key below the vendor key when needed. Writes nothing
// when the vendor key is missing or the record's key cannot be made.
void WriteCompletionRecord(Status result, bool reboot_not_needed);

}  // namespace shell

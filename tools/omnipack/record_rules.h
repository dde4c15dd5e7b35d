#pragma once

// What the installer relies on in a directory record and in the time stamps it sets: the writer
// makes records that keep these rules, and verify reports each one that is broken.

#include <optional>
#include <string>
#include <vector>

#include "package/format.h"
#include "set_walker.h"

namespace omnipack {

// Why time is no local time the system can set (month 13, 31 April, hour 24, ...); none when it
// is one, or all zero (no time stamp).
std::optional<std::string> TimeStampProblem(const package::TimeStamp& time);

// One reason per rule that record breaks: its name field, its reserved bytes, its time stamp, and
// against entry, the main-set entry of its name (null: none), and decoded, the file that entry
// gives (none: it does not decode), its CRC, sizes, place and time stamp.
std::vector<std::string> RecordProblems(const package::DirectoryRecord& record,
                                        const SetEntry* entry,
                                        const std::optional<DecodedEntry>& decoded);

}  // namespace omnipack

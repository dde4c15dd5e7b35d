#pragma once

// Reading the entries of a set that was copied out of an installer, for list and verify.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"
#include "name_index.h"
#include "package/format.h"
#include "package/set_window.h"
#include "platform/file.h"
#include "scratch_file.h"

namespace omnipack {

struct SetEntry {
  std::uint64_t offset = 0;  // of its header, from the start of the set
  package::EntryHeader header;
};

struct SetContents {
  std::vector<SetEntry> entries;
  NameIndex<SetEntry> names;  // of entries, made when the walk is complete
  std::uint64_t end = 0;      // where the last entry's data ends
  bool truncated = false;     // the last entry's data runs past the end of the set
};

// Walks the entry headers from the start of a set the way extraction does: until a header cannot
// be read whole or its tag does not match. False when the set cannot be read.
bool WalkSet(package::SetWindow& set, SetContents& contents);

// Why a stream does not decode, for a status of package::DecodeFile or DecodeStream other than
// status::kOk.
std::string_view DecodeProblem(Status status);

// The file that extraction would write for an entry: its size before any unscrambling and the
// CRC-32 of the final bytes (what the directory record must hold).
struct DecodedEntry {
  std::uint64_t size = 0;
  std::uint32_t crc = 0;
};

// Decodes entries one at a time as extraction does: the entry's compressed bytes alone through
// the installer's decoder, definition data files unscrambled afterwards.
class EntryDecoder {
 public:
  EntryDecoder();
  bool IsReady() const { return compressed_.IsValid() && decoded_.IsValid(); }
  // Empty with reason set when the entry cannot be decoded.
  std::optional<DecodedEntry> Decode(package::SetWindow& set, const SetEntry& entry,
                                     std::string& reason);

 private:
  ScratchFile compressed_;
  ScratchFile decoded_;
};

}  // namespace omnipack

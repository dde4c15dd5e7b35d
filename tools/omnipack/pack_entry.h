#pragma once

#include <cstdint>
#include <string>

#include "package/format.h"

namespace omnipack {

// One file on its way into a set.
struct PackEntry {
  std::string source_path;  // on the host
  std::string stored_name;  // in the package, relative, "\" between folder parts
  std::uint64_t size = 0;
  package::TimeStamp time;
  bool has_record = false;  // gets a directory record (main set only)
};

}  // namespace omnipack

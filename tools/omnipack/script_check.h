#pragma once

// The check of an install script against its package, made with the installer's own parser,
// command table and argument forms, without running anything.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"

namespace omnipack {

enum class Severity { kError, kWarning };

struct Finding {
  std::string file;  // as the user names it: a path of the folder, or the name in the installer
  std::int32_t line = 0;
  Severity severity = Severity::kError;
  std::string text;
  // For an error, the status the installer gives at this line; kOk when it goes on there.
  Status status = status::kOk;
};

// A file of the main set.
struct PackagedFile {
  std::string stored_name;  // "SUB\NAME"
  std::string label;        // how findings name it
  bool has_record = false;  // has a directory record
};

struct CheckedPackage {
  std::string script_label;  // how findings name the install script
  std::string script_text;
  std::vector<PackagedFile> files;  // the main set, the script included
  // The text of a file of the main set (for INCLUDEGLOBALS); none when it cannot be read.
  std::function<std::optional<std::string>(const PackagedFile&)> read_text;
};

// Every finding, in the order of the script's lines (file-wide ones first).
std::vector<Finding> CheckScript(const CheckedPackage& package);

}  // namespace omnipack

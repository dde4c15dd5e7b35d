#pragma once

#include <string>
#include <string_view>

#include "base/path.h"
#include "script/script_context.h"

namespace install {

// The work directory joined with name, as the file commands address their files. A join that
// does not fit leaves the work directory alone, as the fixed path buffer did; that folder is no
// file, so the command finds nothing there.
inline std::string WorkPath(const script::ScriptContext& context, std::string_view name) {
  std::string path = context.work_directory;
  base::JoinPath(path, base::kPathCapacity, name);
  return path;
}

}  // namespace install

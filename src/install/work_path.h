#pragma once

#include <string>
#include <string_view>

#include "base/path.h"
#include "script/script_context.h"

namespace install {

// Where a name in a script points, for every file command: an absolute path ("C:\...", "\\...")
// as it stands, any other name inside the work directory, never in the installer's current
// folder. Empty when there is no such place: an empty name, a relative name without a work
// directory, a path that does not fit a path buffer; an empty path is no file and no folder, so
// the command finds nothing.
inline std::string WorkPath(const script::ScriptContext& context, std::string_view name) {
  if (name.empty())
    return {};
  if (base::IsAbsolutePath(name))
    return name.size() < base::kPathCapacity ? std::string(name) : std::string();
  std::string path = context.work_directory;
  if (path.empty() || !base::JoinPath(path, base::kPathCapacity, name))
    return {};
  return path;
}

}  // namespace install

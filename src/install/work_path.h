#pragma once

#include <string>
#include <string_view>

#include "base/path.h"
#include "log/messages.h"
#include "script/script_context.h"

namespace install {

// Where a name in a script points: an absolute path ("C:\...", "\\...") as it stands, any other
// name inside the work directory, never in the installer's current folder. Empty when there is no
// such place: an empty name, a relative name without a work directory, a path that does not fit a
// path buffer.
inline std::string PathInWorkDirectory(const script::ScriptContext& context,
                                       std::string_view name) {
  if (name.empty())
    return {};
  if (base::IsAbsolutePath(name))
    return name.size() < base::kPathCapacity ? std::string(name) : std::string();
  std::string path = context.work_directory;
  if (path.empty() || !base::JoinPath(path, base::kPathCapacity, name))
    return {};
  return path;
}

// The path every file command addresses for a name: PathInWorkDirectory, and empty as well for a
// name of a device (CON, NUL, COM1, ...), which is no file. An empty path is no file and no
// folder, so the command finds nothing.
inline std::string WorkPath(const script::ScriptContext& context, std::string_view name) {
  return base::NamesDevice(name) ? std::string() : PathInWorkDirectory(context, name);
}

// True, and logged with the path the name points at, when a name that a file command writes or
// moves names a device: the device would take the bytes, and no staging name beside it ("con.1")
// is ever free.
inline bool RefuseDevicePath(script::ScriptContext& context, std::string_view name) {
  if (!base::NamesDevice(name))
    return false;
  const std::string path = PathInWorkDirectory(context, name);
  context.env.reporter.LogMessage(message::kDeviceNotFile, path.empty() ? name : path);
  return true;
}

}  // namespace install

#pragma once

#include <string>
#include <string_view>

#include "base/path.h"
#include "log/messages.h"
#include "script/script_context.h"

namespace install {

// The work directory joined with name, as the file commands address their files. A join that
// does not fit, or a name of a device (CON, NUL, COM1, ...), leaves the work directory alone, as
// the fixed path buffer did; that folder is no file, so the command finds nothing there.
inline std::string WorkPath(const script::ScriptContext& context, std::string_view name) {
  std::string path = context.work_directory;
  if (!base::NamesDevice(name))
    base::JoinPath(path, base::kPathCapacity, name);
  return path;
}

// True, and logged with the path, when a path that a file command writes or moves names a device:
// the device would take the bytes, and no staging name beside it ("con.1") is ever free.
inline bool RefuseDevicePath(script::ScriptContext& context, const std::string& path) {
  if (!base::NamesDevice(path))
    return false;
  context.env.reporter.LogMessage(message::kDeviceNotFile, path);
  return true;
}

}  // namespace install

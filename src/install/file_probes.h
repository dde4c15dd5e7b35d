#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "base/status.h"
#include "script/script_context.h"

// The commands that ask about files in the work directory without changing them, and the test
// they share: whether a copy over a file would succeed now.
namespace install {

// True when the work directory's file name does not exist, or opens with the access of
// CopyIntoPlace (read and write, read shared); the file is closed again at once. False means a
// copy over it now would fail: it is in use, read-only, or a folder.
bool CanFileBeCopied(const script::ScriptContext& context, std::string_view name);

// Sleeps in steps of at most a second until ready() after a step, or until timeout_ms have been
// slept. sleep is the system's sleep; it is a parameter so that the steps can be checked.
void WaitInSteps(std::uint32_t timeout_ms, const std::function<bool()>& ready,
                 const std::function<void(std::uint32_t)>& sleep);

// out = name: "1" when the work directory's name is a file (a folder does not count), else "0".
Status FileExists(script::ScriptContext& context, const script::ScriptCommand& command);
// out = name: "1" when the installed file is older than its package record, or missing; 13
// without a record (out untouched).
Status IsCurrentFileOlder(script::ScriptContext& context, const script::ScriptCommand& command);
// out = name: "1" when a copy over the file would fail now.
Status IsFileLocked(script::ScriptContext& context, const script::ScriptCommand& command);
// name, milliseconds: waits until a copy over the file would succeed; always 0.
Status WaitTillUnlocked(script::ScriptContext& context, const script::ScriptCommand& command);
// out = names: direct-copy mode 1 when every file can be copied over now, else 0 at the first
// that cannot (which also clears the reboot-not-needed flag); out reports the mode.
Status CanAllFilesBeCopied(script::ScriptContext& context, const script::ScriptCommand& command);

}  // namespace install

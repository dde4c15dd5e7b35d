#include "install/restart_replace.h"

#include <windows.h>

#include <optional>
#include <string>
#include <utility>

#include "base/path.h"
#include "install/numbered_name.h"
#include "log/messages.h"
#include "platform/filesystem.h"
#include "platform/win32/file_moves.h"

namespace install {
namespace {

// What each family reports when no staging copy can be queued.
Status NothingStaged(platform::SystemFamily family) {
  return family == platform::SystemFamily::kNine ? status::kOpenFailed : status::kWriteFailed;
}

}  // namespace

Status ScheduleReplaceOnReboot(script::ScriptContext& context, const std::string& destination,
                               std::string& source, platform::SystemFamily family) {
  context.env.reporter.LogMessage(message::kReplacedOnReboot, destination);
  // Any other system has no way to replace files at restart.
  if (family == platform::SystemFamily::kOther)
    return status::kWriteFailed;
  std::string staging = source;
  if (!MakeStagingCopy(destination, staging))
    return NothingStaged(family);
  const Status queued = platform::MoveAtRestart(staging, destination, family);
  if (queued == status::kNoRights) {
    platform::RemoveFile(staging);
    context.env.reporter.LogMessage(message::kNoRightsToUpdate, destination);
    // Nothing of this file waits for the restart; a file scheduled earlier still does.
    context.env.state.reboot_not_needed = !context.env.state.replacement_pending;
    return status::kNoRights;
  }
  // Lines the 9x start-up would cut are not written, and the staging copy is of no use.
  if (queued == status::kLineTooLong) {
    platform::RemoveFile(staging);
    return NothingStaged(family);
  }
  // A WININIT.INI that cannot take the lines leaves the staging copy in place.
  source = std::move(staging);
  if (queued != status::kOk)
    return queued;
  // A file left for replacement needs the restart, whichever command scheduled it.
  context.env.state.reboot_not_needed = false;
  context.env.state.replacement_pending = true;
  return status::kOk;
}

bool MakeStagingCopy(const std::string& destination, std::string& source) {
  std::optional<std::string> staging = NumberedFreeName(destination);
  if (!staging || staging->size() >= base::kPathCapacity ||
      !::CopyFileA(source.c_str(), staging->c_str(), FALSE)) {
    return false;
  }
  source = std::move(*staging);
  return true;
}

}  // namespace install

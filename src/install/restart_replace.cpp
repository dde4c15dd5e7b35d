#include "install/restart_replace.h"

#include <windows.h>

#include <string>
#include <utility>

#include "base/path.h"
#include "install/numbered_name.h"
#include "platform/file.h"
#include "platform/filesystem.h"
#include "platform/short_path.h"
#include "platform/system.h"
#include "platform/win32/wininit_file.h"

namespace install {
namespace {

// A rename line with its CR LF, as a 261-byte line buffer holds it.
constexpr std::size_t kRenameLineLimit = 260;

// The system gives a short name only for a file that exists: a new destination is stood in for by
// an empty placeholder while it is asked.
std::string ShortDestination(const std::string& destination) {
  if (platform::IsFile(destination))
    return platform::ShortPathName(destination);
  platform::File placeholder = platform::File::Create(destination);
  std::string short_path = platform::ShortPathName(destination);
  if (placeholder.IsOpen()) {
    placeholder.Close();
    platform::RemoveFile(destination);
  }
  return short_path;
}

// 9x family: the lines go into WININIT.INI. A failure after the lines were built leaves the
// staging copy in place.
Status ScheduleWithWininit(const std::string& destination, std::string& source) {
  std::string lines;
  const Status built = BuildRenameLines(lines, destination, source);
  if (built != status::kOk)
    return built;
  return platform::AddRenameLines(lines);
}

// NT family: the system's delayed moves, the deletion of the destination first so that the move
// finds its name free. The deletion of a destination that does not exist yet fails harmlessly.
Status ScheduleWithDelayedMoves(script::ScriptContext& context, const std::string& destination,
                                std::string& source) {
  std::string staging = source;
  if (!MakeStagingCopy(destination, staging))
    return status::kWriteFailed;
  ::MoveFileExA(destination.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  if (!::MoveFileExA(staging.c_str(), destination.c_str(), MOVEFILE_DELAY_UNTIL_REBOOT)) {
    platform::RemoveFile(staging);
    context.env.reporter.LogMessage(message::kNoRightsToUpdate, destination);
    // Nothing of this file waits for the restart; a file scheduled earlier still does.
    context.env.state.reboot_not_needed = !context.env.state.replacement_pending;
    return status::kNoRights;
  }
  source = staging;
  return status::kOk;
}

}  // namespace

Status ScheduleReplaceOnReboot(script::ScriptContext& context, const std::string& destination,
                               std::string& source) {
  context.env.reporter.LogMessage(message::kReplacedOnReboot, destination);
  Status scheduled = status::kWriteFailed;
  // The two families replace files at restart in different ways; any other system cannot.
  switch (platform::RunningFamily()) {
    case platform::SystemFamily::kNine:
      scheduled = ScheduleWithWininit(destination, source);
      break;
    case platform::SystemFamily::kNt:
      scheduled = ScheduleWithDelayedMoves(context, destination, source);
      break;
    case platform::SystemFamily::kOther:
      break;
  }
  // A file left for replacement needs the restart, whichever command scheduled it.
  if (scheduled == status::kOk) {
    context.env.state.reboot_not_needed = false;
    context.env.state.replacement_pending = true;
  }
  return scheduled;
}

bool MakeStagingCopy(const std::string& destination, std::string& source) {
  std::string staging = NumberedFreeName(destination);
  if (staging.size() >= base::kPathCapacity ||
      !::CopyFileA(source.c_str(), staging.c_str(), FALSE)) {
    return false;
  }
  source = std::move(staging);
  return true;
}

Status BuildRenameLines(std::string& out, const std::string& destination, std::string& source) {
  std::string staging = source;
  if (!MakeStagingCopy(destination, staging))
    return status::kOpenFailed;
  const std::string short_destination = ShortDestination(destination);
  const std::string deletion = "NUL=" + short_destination + "\r\n";
  const std::string move = short_destination + "=" + platform::ShortPathName(staging) + "\r\n";
  if (deletion.size() > kRenameLineLimit || move.size() > kRenameLineLimit) {
    platform::RemoveFile(staging);
    return status::kOpenFailed;
  }
  out = deletion + move;
  source = std::move(staging);
  return status::kOk;
}

}  // namespace install

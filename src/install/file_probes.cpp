#include "install/file_probes.h"

#include <windows.h>

#include <algorithm>
#include <limits>
#include <optional>
#include <string>
#include <tuple>

#include "base/ascii_case.h"
#include "install/work_path.h"
#include "package/file_time.h"
#include "platform/file.h"
#include "platform/filesystem.h"
#include "script/values.h"
#include "script/variables.h"

namespace install {
namespace {

using script::ScriptCommand;
using script::ScriptContext;

constexpr std::uint32_t kLongestSleep = 1000;

// The leading decimal digits of text; none read as 0, and too many stay at the largest time-out.
std::uint32_t LeadingMilliseconds(std::string_view text) {
  std::uint64_t number = 0;
  for (const char c : text) {
    if (c < '0' || c > '9')
      break;
    number =
        std::min<std::uint64_t>(number * 10 + (c - '0'), std::numeric_limits<std::uint32_t>::max());
  }
  return static_cast<std::uint32_t>(number);
}

const package::DirectoryRecord* FindRecord(const ScriptContext& context, std::string_view name) {
  if (context.env.descriptor == nullptr)
    return nullptr;
  for (const package::DirectoryRecord& record : context.env.descriptor->directory) {
    if (base::EqualsIgnoringCase(record.Name(), name))
      return &record;
  }
  return nullptr;
}

// Field by field from the year down to the second, each as an unsigned byte.
bool IsEarlier(const package::TimeStamp& a, const package::TimeStamp& b) {
  return std::tie(a.year, a.month, a.day, a.hour, a.minute, a.second) <
         std::tie(b.year, b.month, b.day, b.hour, b.minute, b.second);
}

}  // namespace

bool CanFileBeCopied(const ScriptContext& context, std::string_view name) {
  const std::string path = WorkPath(context, name);
  if (platform::File::OpenExisting(path, platform::OpenMode::kReadWriteShareRead).IsOpen())
    return true;
  return !platform::AttributeBits(path).has_value();
}

void WaitInSteps(std::uint32_t timeout_ms, const std::function<bool()>& ready,
                 const std::function<void(std::uint32_t)>& sleep) {
  for (std::uint32_t waited = 0; waited < timeout_ms;) {
    const std::uint32_t step = std::min(kLongestSleep, timeout_ms - waited);
    sleep(step);
    waited += step;
    if (ready())
      return;
  }
}

Status FileExists(ScriptContext& context, const ScriptCommand& command) {
  std::string out, name;
  const Status split = script::SplitAssignment(command.argument, out, script::kValueCapacity, name,
                                               script::kValueCapacity);
  if (split != status::kOk)
    return split;
  return script::SetTruthVariable(context, out, platform::IsFile(WorkPath(context, name)));
}

Status IsCurrentFileOlder(ScriptContext& context, const ScriptCommand& command) {
  std::string out, name;
  const Status split = script::SplitAssignment(command.argument, out, script::kValueCapacity, name,
                                               script::kValueCapacity);
  if (split != status::kOk)
    return split;
  const std::string path = WorkPath(context, name);
  if (!platform::IsFile(path))
    return script::SetVariable(context, out, "1");  // what is missing is as old as can be
  const package::DirectoryRecord* record = FindRecord(context, name);
  if (record == nullptr)
    return status::kNoDirectoryRecord;
  package::TimeStamp installed;
  package::GetFileTimeStamp(path, installed);  // all zero when unreadable: counts as older
  return script::SetTruthVariable(context, out, IsEarlier(installed, record->time));
}

Status IsFileLocked(ScriptContext& context, const ScriptCommand& command) {
  std::string out, name;
  const Status split = script::SplitAssignment(command.argument, out, script::kValueCapacity, name,
                                               script::kValueCapacity);
  if (split != status::kOk)
    return script::FailCommand(context, split);
  return script::SetVariable(context, out, CanFileBeCopied(context, name) ? "0" : "1");
}

// The script learns the outcome only by asking again with ISFILELOCKED.
Status WaitTillUnlocked(ScriptContext& context, const ScriptCommand& command) {
  std::string name;
  const std::optional<std::size_t> next =
      script::NextItem(command.argument, 0, name, script::kValueCapacity, ',');
  if (!next || name.empty() || CanFileBeCopied(context, name))
    return status::kOk;
  std::string timeout;
  script::NextItem(command.argument, *next, timeout, script::kValueCapacity, ',');
  WaitInSteps(
      LeadingMilliseconds(timeout), [&] { return CanFileBeCopied(context, name); },
      [](std::uint32_t ms) { ::Sleep(ms); });
  return status::kOk;
}

// Only an argument with "=" has somewhere to report to; a bare list is ignored altogether.
Status CanAllFilesBeCopied(ScriptContext& context, const ScriptCommand& command) {
  const std::string_view argument = command.argument;
  const std::size_t equals = argument.find('=');
  if (equals == std::string_view::npos)
    return status::kOk;
  std::string out(argument.substr(0, equals));
  script::TrimBlanks(out);
  const std::string_view list = argument.substr(equals + 1);

  script::RunState& state = context.env.state;
  std::string item;
  for (std::optional<std::size_t> cursor =
           script::NextItem(list, 0, item, script::kValueCapacity, ',');
       cursor && !item.empty();
       cursor = script::NextItem(list, *cursor, item, script::kValueCapacity, ',')) {
    if (!CanFileBeCopied(context, item)) {
      // One file in use sends the rest of the run to replacement at restart.
      state.direct_copy_mode = false;
      state.reboot_not_needed = false;
      break;
    }
    state.direct_copy_mode = true;
  }
  return script::SetTruthVariable(context, out, state.direct_copy_mode);
}

}  // namespace install

// CONFIGURESETTINGS: the sibling scanner's configuration under HKLM, edited for this module. It
// stamps the module's product context on the scanner's components, adds the two spyware items to
// every scheduled scan task and to the default task, and makes the targeted-scan task when there
// is none. Every registry failure only skips its step.

#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/ascii_case.h"
#include "platform/win32/registry_key.h"
#include "script/values.h"
#include "system/handlers.h"
#include "system/registry_tree.h"

namespace system_commands {
namespace {

using platform::RegistryKey;

constexpr char kTasksKey[] = "SOFTWARE\\Velkor\\DesktopProtection\\Tasks";
constexpr char kDefaultTaskKey[] = "SOFTWARE\\Velkor\\DesktopProtection\\DefaultTask";
constexpr char kTargetedScanTaskKey[] =
    "SOFTWARE\\Velkor\\DesktopProtection\\Tasks\\{3A1C5E7B-2D4F-4A68-9B0C-1E2F3A4B5C6D}";
constexpr REGSAM kEditAccess = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

struct Component {
  const char* key;
  std::uint32_t eolpid;  // 0: none is written
  bool context_ids;
};
constexpr Component kComponents[] = {
    {"SOFTWARE\\Velkor\\RKCore\\On Access Scanner\\Bulwark\\Configuration", 12050, true},
    {"SOFTWARE\\Velkor\\RKCore\\Email Scanner\\Outlook", 12052, false},
    {"SOFTWARE\\Velkor\\RKCore\\Email Scanner\\Outlook\\OnDelivery\\DetectionOptions", 0, true},
    {"SOFTWARE\\Velkor\\RKCore\\Email Scanner\\Outlook\\OnDemand\\DetectionOptions", 0, true},
    {"SOFTWARE\\Velkor\\RKCore\\Script Scanner", 12053, true},
};
// Three little-endian numbers: 0x5001, 0x5002, 0x5003.
constexpr std::array<BYTE, 12> kContextIds = {0x01, 0x50, 0, 0, 0x02, 0x50, 0, 0, 0x03, 0x50, 0, 0};
constexpr std::uint32_t kTasksEolpid = 12051;

constexpr std::array<std::string_view, 2> kSpywareItems = {"SpecialRegistrySpyware",
                                                           "SpecialCookiesSpyware"};
constexpr std::array<std::string_view, 9> kTargetedScanItems = {"SpecialMemory",
                                                                "SpecialScanForRootKits",
                                                                "SpecialCritical",
                                                                "SpecialRegistrySpyware",
                                                                "SpecialCookiesSpyware",
                                                                "WinDir",
                                                                "ProgramFilesDir",
                                                                "TempDir",
                                                                "ProfileDir"};
constexpr char kTargetedScanTaskName[] = "IDS_ODS_TASKNAME_TARGETED_SCAN";
constexpr std::string_view kItemPrefix = "szScanItem";

std::string ItemName(std::uint32_t index) {
  return std::string(kItemPrefix) + std::to_string(index);
}

// The index of a value named like an item ("szScanItem7") when it is below count; none for any
// other name. Names match in any case, as the registry matches them.
std::optional<std::uint32_t> ItemIndex(std::string_view name, std::uint32_t count) {
  if (name.size() <= kItemPrefix.size() ||
      !base::EqualsIgnoringCase(name.substr(0, kItemPrefix.size()), kItemPrefix)) {
    return std::nullopt;
  }
  const std::string_view digits = name.substr(kItemPrefix.size());
  if (digits.size() > 10 || (digits.size() > 1 && digits[0] == '0'))
    return std::nullopt;
  std::uint64_t index = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9')
      return std::nullopt;
    index = index * 10 + static_cast<unsigned>(c - '0');
  }
  if (index >= count)
    return std::nullopt;
  return static_cast<std::uint32_t>(index);
}

struct ScanItem {
  std::uint32_t index;
  std::string name;
  std::optional<std::string> text;  // none when longer than an item's 260-byte buffer
};
// The items 0 to count - 1 that the task holds. They are found among the task's values rather
// than asked for one by one, so that a damaged count of millions costs no more than the values
// there are.
std::vector<ScanItem> ScanItems(const RegistryKey& task, std::uint32_t count) {
  std::vector<ScanItem> items;
  platform::RegistryValue value;
  for (DWORD i = 0; task.ValueAt(i, value) == ERROR_SUCCESS; ++i) {
    const std::optional<std::uint32_t> index = ItemIndex(value.name, count);
    if (!index)
      continue;
    ScanItem item{*index, value.name, std::nullopt};
    if (value.data.size() <= script::kValueCapacity) {
      // Compared as the text up to its first zero, whatever the value's type.
      value.data.push_back(0);
      item.text = reinterpret_cast<const char*>(value.data.data());
    }
    items.push_back(std::move(item));
  }
  return items;
}

void StampProductContext(const Component& component) {
  const RegistryKey key = RegistryKey::Open(HKEY_LOCAL_MACHINE, component.key, kEditAccess);
  if (!key.IsOpen())
    return;
  if (component.context_ids)
    key.Write("PPContextIDs", REG_BINARY, kContextIds.data(), kContextIds.size());
  if (component.eolpid != 0)
    key.WriteDword("EOLPID", component.eolpid);
}

// Tasks of kinds 0 to 4 get ApplyNVP and each spyware item they lack (exact case) as a new last
// item; other tasks, and tasks without a kind, stay as they are.
void AddSpywareItems(const RegistryKey& task) {
  const std::optional<std::uint32_t> kind = task.ReadNumber("wTaskType");
  if (!kind || *kind >= 5)
    return;
  task.WriteDword("ApplyNVP", 1);
  const std::uint32_t count = task.ReadNumber("uScanNumItems").value_or(0);
  const std::vector<ScanItem> items = ScanItems(task, count);
  std::uint32_t next = count;
  for (const std::string_view wanted : kSpywareItems) {
    bool present = false;
    for (const ScanItem& item : items)
      present = present || item.text == wanted;
    if (!present)
      task.WriteText(ItemName(next++).c_str(), wanted);
  }
  if (next != count)
    task.WriteDword("uScanNumItems", next);
}

void UpdateAllTasks() {
  const RegistryKey tasks = RegistryKey::Open(HKEY_LOCAL_MACHINE, kTasksKey, kEditAccess);
  if (!tasks.IsOpen())
    return;
  std::string name;
  for (DWORD i = 0, count = tasks.SubkeyCount(); i < count; ++i) {
    if (tasks.SubkeyAt(i, name) != ERROR_SUCCESS)
      continue;
    const RegistryKey task = RegistryKey::Open(tasks.Handle(), name.c_str(), kEditAccess);
    if (task.IsOpen())
      AddSpywareItems(task);
  }
  tasks.WriteDword("EOLPID", kTasksEolpid);
}

// The copied default task made into the targeted-scan task: its nine items replace the default
// task's.
void MakeTargetedScanTask(const RegistryKey& task) {
  // The count keeps the type it was copied with; a task without one gets a DWORD.
  DWORD type = REG_DWORD;
  const std::uint32_t old_count = task.ReadNumber("uScanNumItems", &type).value_or(0);
  const std::uint32_t new_count = kTargetedScanItems.size();
  const std::array<BYTE, 4> count_bytes = {static_cast<BYTE>(new_count), 0, 0, 0};
  task.Write("uScanNumItems", type, count_bytes.data(), count_bytes.size());
  task.WriteText("szTaskName", kTargetedScanTaskName);
  for (std::uint32_t i = 0; i < new_count; ++i)
    task.WriteText(ItemName(i).c_str(), kTargetedScanItems[i]);
  for (const ScanItem& item : ScanItems(task, old_count)) {
    if (item.index >= new_count)
      task.DeleteValue(item.name.c_str());
  }
  task.WriteDword("dwLastModified", 0);
}

// An existing targeted-scan task is left as it is. A copy that fails part-way takes back what it
// made, so that the next run makes the task whole rather than keeping half of it.
void CreateTargetedScanTask() {
  if (RegistryKey::Open(HKEY_LOCAL_MACHINE, kTargetedScanTaskKey, KEY_READ).IsOpen())
    return;
  const RegistryKey default_task = RegistryKey::Open(HKEY_LOCAL_MACHINE, kDefaultTaskKey, KEY_READ);
  if (!default_task.IsOpen())
    return;
  {
    const RegistryKey task =
        RegistryKey::Create(HKEY_LOCAL_MACHINE, kTargetedScanTaskKey, kEditAccess);
    if (!task.IsOpen())
      return;
    if (CopyRegistryTree(default_task, task) == ERROR_SUCCESS) {
      MakeTargetedScanTask(task);
      return;
    }
  }
  DeleteRegistryTree(HKEY_LOCAL_MACHINE, kTargetedScanTaskKey);
}

// Takes no argument and always succeeds; with the no-change switch it touches nothing. The
// targeted-scan task is copied from the default task before that is edited, so it holds the
// default task as it was.
Status ConfigureSettings(script::ScriptContext& context, const script::ScriptCommand&) {
  if (context.env.state.no_change)
    return status::kOk;
  for (const Component& component : kComponents)
    StampProductContext(component);
  UpdateAllTasks();
  CreateTargetedScanTask();
  const RegistryKey default_task =
      RegistryKey::Open(HKEY_LOCAL_MACHINE, kDefaultTaskKey, kEditAccess);
  if (default_task.IsOpen())
    AddSpywareItems(default_task);
  return status::kOk;
}

constexpr script::HandlerEntry kHandlers[] = {
    {script::opcode::kConfigureSettings, ConfigureSettings},
};

}  // namespace

script::HandlerList ScannerSettingsHandlers() {
  return kHandlers;
}

}  // namespace system_commands

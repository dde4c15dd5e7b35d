// CONFIGURESETTINGS on a seeded scanner configuration in its fixed place, HKLM\SOFTWARE\Velkor,
// which the tests take aside and put back. Each case compares the whole tree afterwards.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "command_test.h"
#include "saved_registry.h"
#include "script/command_table.h"

namespace {

using test_support::Binary;
using test_support::Dword;
using test_support::ReadRegistryTree;
using test_support::RegistryLines;
using test_support::RegistryTree;
using test_support::Sz;

constexpr char kVendor[] = "SOFTWARE\\Velkor";
constexpr char kTargeted[] = "DesktopProtection\\Tasks\\{3A1C5E7B-2D4F-4A68-9B0C-1E2F3A4B5C6D}";
const std::string kContextIds("\x01\x50\0\0\x02\x50\0\0\x03\x50\0\0", 12);

std::string ItemName(std::size_t index) {
  std::string name = "szScanItem";
  name += std::to_string(index);
  return name;
}

void SetItems(RegistryTree& task, std::size_t first, const std::vector<std::string>& items) {
  for (std::size_t i = 0; i < items.size(); ++i)
    task.values[ItemName(first + i)] = Sz(items[i]);
}

// The scanner's configuration before the command, below SOFTWARE\Velkor.
RegistryTree Seed() {
  RegistryTree tree;
  tree.At("RKCore\\On Access Scanner\\Bulwark\\Configuration").values = {{"Other", Dword(3)}};
  tree.At("RKCore\\Email Scanner\\Outlook");
  tree.At("RKCore\\Email Scanner\\Outlook\\OnDelivery\\DetectionOptions");
  tree.At("RKCore\\Email Scanner\\Outlook\\OnDemand");  // without DetectionOptions
  tree.At("RKCore\\Script Scanner").values = {{"EOLPID", Dword(1)}};

  RegistryTree& tasks = tree.At("DesktopProtection\\Tasks");
  RegistryTree& kind0 = tasks.At("Kind0");
  kind0.values = {{"wTaskType", Dword(0)}, {"uScanNumItems", Dword(2)}};
  SetItems(kind0, 0, {"C:\\", "D:\\"});
  tasks.At("Kind1NoItems").values = {{"wTaskType", Dword(1)}};
  RegistryTree& cookies = tasks.At("Kind2OnlyCookies");
  cookies.values = {{"wTaskType", Dword(2)}, {"uScanNumItems", Dword(2)}};
  SetItems(cookies, 0, {"WinDir", "SpecialCookiesSpyware"});
  RegistryTree& lower = tasks.At("Kind3LowerCase");
  lower.values = {{"wTaskType", Dword(3)}, {"uScanNumItems", Dword(2)}};
  SetItems(lower, 0, {"specialregistryspyware", "specialcookiesspyware"});
  RegistryTree& both = tasks.At("Kind4Both");
  both.values = {{"wTaskType", Dword(4)}, {"uScanNumItems", Dword(2)}, {"ApplyNVP", Dword(0)}};
  SetItems(both, 0, {"SpecialRegistrySpyware", "SpecialCookiesSpyware"});
  RegistryTree& kind5 = tasks.At("Kind5");
  kind5.values = {{"wTaskType", Dword(5)}, {"uScanNumItems", Dword(1)}};
  SetItems(kind5, 0, {"C:\\"});
  RegistryTree& no_kind = tasks.At("NoKind");
  no_kind.values = {{"uScanNumItems", Dword(1)}};
  SetItems(no_kind, 0, {"C:\\"});
  // A count far beyond the items there are must cost no more than the items.
  RegistryTree& damaged = tasks.At("DamagedCount");
  damaged.values = {{"wTaskType", Dword(1)}, {"uScanNumItems", Dword(1000000000)}};
  SetItems(damaged, 0, {"SpecialRegistrySpyware", "SpecialCookiesSpyware"});

  RegistryTree& default_task = tree.At("DesktopProtection\\DefaultTask");
  default_task.values = {{"wTaskType", Dword(0)},   {"szTaskName", Sz("Default Scan")},
                         {"dwFlags", Dword(7)},     {"uScanNumItems", Dword(12)},
                         {"", Sz("default value")}, {"NoData", Binary("")}};
  for (int i = 0; i < 12; ++i)
    SetItems(default_task, i, {"Item" + std::to_string(i)});
  default_task.At("Schedule").values = {{"Hour", Dword(3)}};
  return tree;
}

// The targeted-scan task made from the default task of Seed(): its values and subkeys but the
// unnamed and the empty one, with its own nine items in place of the twelve.
RegistryTree TargetedFromSeed() {
  RegistryTree task;
  task.values = {{"wTaskType", Dword(0)},
                 {"szTaskName", Sz("IDS_ODS_TASKNAME_TARGETED_SCAN")},
                 {"dwFlags", Dword(7)},
                 {"uScanNumItems", Dword(9)},
                 {"dwLastModified", Dword(0)}};
  SetItems(task, 0,
           {"SpecialMemory", "SpecialScanForRootKits", "SpecialCritical", "SpecialRegistrySpyware",
            "SpecialCookiesSpyware", "WinDir", "ProgramFilesDir", "TempDir", "ProfileDir"});
  task.At("Schedule").values = {{"Hour", Dword(3)}};
  return task;
}

// Seed() after the command.
RegistryTree Configured() {
  RegistryTree tree = Seed();
  auto& configuration = tree.At("RKCore\\On Access Scanner\\Bulwark\\Configuration").values;
  configuration["PPContextIDs"] = Binary(kContextIds);
  configuration["EOLPID"] = Dword(12050);
  tree.At("RKCore\\Email Scanner\\Outlook").values["EOLPID"] = Dword(12052);
  tree.At("RKCore\\Email Scanner\\Outlook\\OnDelivery\\DetectionOptions").values["PPContextIDs"] =
      Binary(kContextIds);
  auto& script_scanner = tree.At("RKCore\\Script Scanner").values;
  script_scanner["PPContextIDs"] = Binary(kContextIds);
  script_scanner["EOLPID"] = Dword(12053);

  RegistryTree& tasks = tree.At("DesktopProtection\\Tasks");
  tasks.values["EOLPID"] = Dword(12051);
  for (const char* edited :
       {"Kind0", "Kind1NoItems", "Kind2OnlyCookies", "Kind3LowerCase", "Kind4Both", "DamagedCount"})
    tasks.At(edited).values["ApplyNVP"] = Dword(1);
  SetItems(tasks.At("Kind0"), 2, {"SpecialRegistrySpyware", "SpecialCookiesSpyware"});
  tasks.At("Kind0").values["uScanNumItems"] = Dword(4);
  SetItems(tasks.At("Kind1NoItems"), 0, {"SpecialRegistrySpyware", "SpecialCookiesSpyware"});
  tasks.At("Kind1NoItems").values["uScanNumItems"] = Dword(2);
  SetItems(tasks.At("Kind2OnlyCookies"), 2, {"SpecialRegistrySpyware"});
  tasks.At("Kind2OnlyCookies").values["uScanNumItems"] = Dword(3);
  SetItems(tasks.At("Kind3LowerCase"), 2, {"SpecialRegistrySpyware", "SpecialCookiesSpyware"});
  tasks.At("Kind3LowerCase").values["uScanNumItems"] = Dword(4);
  tree.At(kTargeted) = TargetedFromSeed();

  RegistryTree& default_task = tree.At("DesktopProtection\\DefaultTask");
  default_task.values["ApplyNVP"] = Dword(1);
  SetItems(default_task, 12, {"SpecialRegistrySpyware", "SpecialCookiesSpyware"});
  default_task.values["uScanNumItems"] = Dword(14);
  return tree;
}

class ConfigureSettings : public test_support::CommandTest {
 protected:
  void SetUp() override { ASSERT_TRUE(saved_.Ready()); }

  // Seeds the configuration, runs the command, and gives the tree it left.
  RegistryTree Configure(const RegistryTree& seed) {
    EXPECT_TRUE(test_support::RemoveRegistryTree(HKEY_LOCAL_MACHINE, kVendor));
    EXPECT_TRUE(test_support::WriteRegistryTree(HKEY_LOCAL_MACHINE, kVendor, seed));
    EXPECT_EQ(Run(script::opcode::kConfigureSettings, ""), status::kOk);
    EXPECT_FALSE(Stopped());
    return ReadRegistryTree(HKEY_LOCAL_MACHINE, kVendor).value_or(RegistryTree());
  }

  test_support::SavedRegistryKey saved_{HKEY_LOCAL_MACHINE, kVendor};
};

TEST_F(ConfigureSettings, EditsTheWholeConfigurationAsExpected) {
  const struct {
    const char* what;
    bool no_change;
    std::function<void(RegistryTree&)> seed;      // changes to Seed()
    std::function<void(RegistryTree&)> expected;  // changes to Configured()
  } cases[] = {
      {"the seeded configuration", false, [](RegistryTree&) {}, [](RegistryTree&) {}},
      {"with the no-change switch nothing changes", true, [](RegistryTree&) {},
       [](RegistryTree& tree) { tree = Seed(); }},
      {"without a Tasks key the task is made with it, and Tasks gets no EOLPID", false,
       [](RegistryTree& tree) { tree.At("DesktopProtection").subkeys.erase("Tasks"); },
       [](RegistryTree& tree) {
         RegistryTree& tasks = tree.At("DesktopProtection\\Tasks");
         tasks = RegistryTree();
         tasks.At("{3A1C5E7B-2D4F-4A68-9B0C-1E2F3A4B5C6D}") = TargetedFromSeed();
       }},
      {"an existing targeted-scan task is only edited as a task", false,
       [](RegistryTree& tree) {
         tree.At(kTargeted).values = {{"wTaskType", Dword(1)}};
       },
       [](RegistryTree& tree) {
         RegistryTree& task = tree.At(kTargeted);
         task = RegistryTree();
         task.values = {
             {"wTaskType", Dword(1)}, {"ApplyNVP", Dword(1)}, {"uScanNumItems", Dword(2)}};
         SetItems(task, 0, {"SpecialRegistrySpyware", "SpecialCookiesSpyware"});
       }},
      {"a default task without a count: the task's count is a DWORD, no item is deleted", false,
       [](RegistryTree& tree) {
         tree.At("DesktopProtection\\DefaultTask").values.erase("uScanNumItems");
       },
       [](RegistryTree& tree) {
         RegistryTree& task = tree.At(kTargeted);
         SetItems(task, 9, {"Item9", "Item10", "Item11"});
         RegistryTree& default_task = tree.At("DesktopProtection\\DefaultTask");
         for (int i = 12; i < 14; ++i)
           default_task.values.erase(ItemName(i));
         SetItems(default_task, 0, {"SpecialRegistrySpyware", "SpecialCookiesSpyware"});
         default_task.values["uScanNumItems"] = Dword(2);
       }},
      {"without a default task no targeted-scan task is made", false,
       [](RegistryTree& tree) { tree.At("DesktopProtection").subkeys.erase("DefaultTask"); },
       [](RegistryTree& tree) {
         tree.At("DesktopProtection").subkeys.erase("DefaultTask");
         tree.At("DesktopProtection\\Tasks")
             .subkeys.erase("{3A1C5E7B-2D4F-4A68-9B0C-1E2F3A4B5C6D}");
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    state.no_change = c.no_change;
    RegistryTree seed = Seed();
    c.seed(seed);
    RegistryTree expected = Configured();
    c.expected(expected);
    EXPECT_EQ(RegistryLines(Configure(seed)), RegistryLines(expected));
  }
}

// A registry link whose target does not exist: it is listed among its parent's subkeys, but
// opening it fails, as a key may fail to open while the task is copied.
class DanglingLink {
 public:
  explicit DanglingLink(std::string path) : path_(std::move(path)) {
    HKEY key = nullptr;
    made_ = ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, path_.c_str(), 0, nullptr, REG_OPTION_CREATE_LINK,
                              KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, &key,
                              nullptr) == ERROR_SUCCESS;
    if (!made_)
      return;
    const std::wstring target = L"\\Registry\\Machine\\Software\\Velkor\\NoSuchKey";
    made_ = ::RegSetValueExW(key, L"SymbolicLinkValue", 0, REG_LINK,
                             reinterpret_cast<const BYTE*>(target.data()),
                             static_cast<DWORD>(target.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
    ::RegCloseKey(key);
  }
  ~DanglingLink() { Remove(); }
  DanglingLink(const DanglingLink&) = delete;
  DanglingLink& operator=(const DanglingLink&) = delete;

  bool Made() const { return made_; }
  // The link itself goes, not what it would point at.
  void Remove() {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path_.c_str(), REG_OPTION_OPEN_LINK, DELETE, &key) ==
        ERROR_SUCCESS) {
      ::RegDeleteKeyA(key, "");
      ::RegCloseKey(key);
    }
  }

 private:
  std::string path_;
  bool made_ = false;
};

// A copy that fails part-way leaves no half task behind, so the next run makes it whole.
TEST_F(ConfigureSettings, ACopyThatFailsPartWayIsTakenBack) {
  ASSERT_TRUE(test_support::WriteRegistryTree(HKEY_LOCAL_MACHINE, kVendor, Seed()));
  // Enumerated after Schedule, which is copied before the copy fails.
  DanglingLink link(std::string(kVendor) + "\\DesktopProtection\\DefaultTask\\ZLink");
  ASSERT_TRUE(link.Made());
  EXPECT_EQ(Run(script::opcode::kConfigureSettings, ""), status::kOk);
  link.Remove();
  RegistryTree expected = Configured();
  expected.At("DesktopProtection\\Tasks").subkeys.erase("{3A1C5E7B-2D4F-4A68-9B0C-1E2F3A4B5C6D}");
  EXPECT_EQ(RegistryLines(ReadRegistryTree(HKEY_LOCAL_MACHINE, kVendor).value_or(RegistryTree())),
            RegistryLines(expected));

  // The next run copies the default task as the first run left it.
  EXPECT_EQ(Run(script::opcode::kConfigureSettings, ""), status::kOk);
  RegistryTree task = TargetedFromSeed();
  task.values["ApplyNVP"] = Dword(1);
  EXPECT_EQ(
      RegistryLines(ReadRegistryTree(HKEY_LOCAL_MACHINE, std::string(kVendor) + "\\" + kTargeted)
                        .value_or(RegistryTree())),
      RegistryLines(task));
}

}  // namespace

// The registry commands under Wine, in one process:
//  1. A Main of 10,000 GETREGVALUE commands, run by the interpreter, against the same number of
//     bare RegOpenKeyExA + RegQueryValueExA + RegCloseKey calls on the same value; the two run
//     alternately, ROUNDS times each, and their medians and ratio are printed.
//  2. CONFIGURESETTINGS on 1,000 and 2,000 seeded tasks (ROUNDS runs each, seeded afresh): the
//     time per task must not grow with the number of tasks.
// The value read lives in HKCU\Software\OmniPackRegistryBench; the scanner's configuration,
// HKLM\SOFTWARE\Velkor, is set aside and put back.
//
//   registry_bench.exe [ROUNDS]     (default 5)

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "log/reporter.h"
#include "saved_registry.h"
#include "script/interpreter.h"
#include "script/run_state.h"
#include "script/script_context.h"
#include "script/script_parser.h"
#include "shell/run/command_handlers.h"

namespace {

using test_support::Dword;
using test_support::RegistryTree;
using test_support::Sz;

constexpr int kReads = 10000;
constexpr char kValueKey[] = "Software\\OmniPackRegistryBench";
constexpr char kVersion[] = "8.7.0.1234";
constexpr char kVendor[] = "SOFTWARE\\Velkor";

class SilentReporter : public Reporter {
 public:
  void ReportProgress(MessageId, std::string_view) override {}
  void LogMessage(MessageId, std::string_view) override {}
  void LogText(std::string_view) override {}
};

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "registry_bench: %s\n", what);
  std::exit(1);
}

// Script runs of one Main.
class Script {
 public:
  explicit Script(const std::string& text)
      : context_({reporter_, state_, shell::CommandHandlers()}) {
    if (script::ParseScript(context_, text) != status::kOk)
      Fail("the script does not parse");
  }
  // Seconds for one run of Main, which must succeed.
  double RunMain() {
    const auto start = std::chrono::steady_clock::now();
    const Status result = script::RunMain(context_);
    const double seconds = Seconds(start);
    if (result != status::kOk)
      Fail("Main failed");
    return seconds;
  }
  const std::string* Variable(std::string_view name) const { return context_.variables.Find(name); }

 private:
  SilentReporter reporter_;
  script::RunState state_;
  script::ScriptContext context_;
};

double BareReads() {
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kReads; ++i) {
    HKEY key = nullptr;
    char data[260];
    DWORD size = sizeof data;
    DWORD type = REG_NONE;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kValueKey, 0, KEY_READ, &key) != ERROR_SUCCESS ||
        ::RegQueryValueExA(key, "Version", nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
            ERROR_SUCCESS ||
        std::string_view(data) != kVersion) {
      Fail("the bare read failed");
    }
    ::RegCloseKey(key);
  }
  return Seconds(start);
}

std::string Numbered(std::string_view stem, int number) {
  std::string name(stem);
  name += std::to_string(number);
  return name;
}

// The scanner's configuration with tasks of kinds 0 to 4, four items each.
RegistryTree ScannerTree(int tasks) {
  RegistryTree tree;
  tree.At("RKCore\\On Access Scanner\\Bulwark\\Configuration");
  tree.At("RKCore\\Email Scanner\\Outlook\\OnDelivery\\DetectionOptions");
  tree.At("RKCore\\Email Scanner\\Outlook\\OnDemand\\DetectionOptions");
  tree.At("RKCore\\Script Scanner");
  const auto items = [](RegistryTree& task, int count) {
    task.values["uScanNumItems"] = Dword(count);
    for (int i = 0; i < count; ++i)
      task.values[Numbered("szScanItem", i)] = Sz(Numbered("C:\\Folder", i));
  };
  for (int i = 0; i < tasks; ++i) {
    RegistryTree& task = tree.At(Numbered("DesktopProtection\\Tasks\\Task", i));
    task.values = {{"wTaskType", Dword(i % 5)}, {"szTaskName", Sz(Numbered("Scan ", i))}};
    items(task, 4);
  }
  RegistryTree& default_task = tree.At("DesktopProtection\\DefaultTask");
  default_task.values = {{"wTaskType", Dword(0)}};
  items(default_task, 12);
  return tree;
}

// Seconds per task of CONFIGURESETTINGS on a freshly seeded configuration, median of rounds.
double ConfigurePerTask(int tasks, int rounds) {
  const RegistryTree seed = ScannerTree(tasks);
  std::vector<double> seconds;
  for (int round = 0; round < rounds; ++round) {
    if (!test_support::RemoveRegistryTree(HKEY_LOCAL_MACHINE, kVendor) ||
        !test_support::WriteRegistryTree(HKEY_LOCAL_MACHINE, kVendor, seed)) {
      Fail("the scanner's configuration cannot be seeded");
    }
    Script configure("[Main]\r\nConfigureSettings\r\nSetFinalStatusFlag fs=0\r\n");
    seconds.push_back(configure.RunMain() / tasks);
    HKEY task = nullptr;
    DWORD count = 0;
    DWORD size = sizeof count;
    const std::string last =
        Numbered(std::string(kVendor) + "\\DesktopProtection\\Tasks\\Task", tasks - 1);
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, last.c_str(), 0, KEY_READ, &task) != ERROR_SUCCESS ||
        ::RegQueryValueExA(task, "uScanNumItems", nullptr, nullptr, reinterpret_cast<BYTE*>(&count),
                           &size) != ERROR_SUCCESS ||
        count != 6) {
      Fail("CONFIGURESETTINGS did not edit the last task");
    }
    ::RegCloseKey(task);
  }
  return Median(seconds);
}

void Row(const char* measurement, const std::string& ours, const std::string& reference,
         const std::string& ratio) {
  std::printf("%-58s %12s %12s %8s\n", measurement, ours.c_str(), reference.c_str(), ratio.c_str());
}

std::string Format(const char* format, double value) {
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

  RegistryTree value_key;
  value_key.values["Version"] = Sz(kVersion);
  const test_support::SavedRegistryKey saved_value(HKEY_CURRENT_USER, kValueKey);
  if (!saved_value.Ready() ||
      !test_support::WriteRegistryTree(HKEY_CURRENT_USER, kValueKey, value_key)) {
    Fail("the value to read cannot be made");
  }
  std::string text = "[Main]\r\n";
  for (int i = 0; i < kReads; ++i)
    text += std::string("GetRegValue szVersion = HKCU\\") + kValueKey + ", Version\r\n";
  text += "SetFinalStatusFlag fs=0\r\n";
  Script reads(text);
  std::vector<double> command_seconds;
  std::vector<double> bare_seconds;
  for (int round = 0; round < rounds; ++round) {
    command_seconds.push_back(reads.RunMain());
    bare_seconds.push_back(BareReads());
  }
  if (reads.Variable("szVersion") == nullptr || *reads.Variable("szVersion") != kVersion)
    Fail("GETREGVALUE did not read the value");
  const double commands = Median(command_seconds);
  const double bare = Median(bare_seconds);

  const test_support::SavedRegistryKey saved_vendor(HKEY_LOCAL_MACHINE, kVendor);
  if (!saved_vendor.Ready())
    Fail("HKLM\\SOFTWARE\\Velkor cannot be set aside");
  const double small = ConfigurePerTask(1000, rounds);
  const double large = ConfigurePerTask(2000, rounds);

  std::printf("== Registry commands under Wine (median of %d rounds)\n", rounds);
  Row("measurement", "ours", "reference", "ratio");
  Row("10,000 GETREGVALUE, ms (vs bare open, query, close)", Format("%.0f", commands * 1e3),
      Format("%.0f", bare * 1e3), Format("%.2f", commands / bare));
  Row("CONFIGURESETTINGS, ms: 2,000 tasks (vs 1,000)", Format("%.0f", large * 2000 * 1e3),
      Format("%.0f", small * 1000 * 1e3), Format("%.2f", large * 2 / small));
  Row("CONFIGURESETTINGS, us per task: 2,000 tasks (vs 1,000)", Format("%.0f", large * 1e6),
      Format("%.0f", small * 1e6), Format("%.2f", large / small));
  return 0;
}

// omnipack check on a large script: 1 MB of 20,000 commands against a package of 2,000 files,
// against loading the same script as the installer does (reading it and parsing it). Both read
// the script from a file.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "log/reporter.h"
#include "script/run_state.h"
#include "script/script_file.h"
#include "script/script_loader.h"
#include "script_check.h"
#include "shell/run/command_handlers.h"

namespace {

constexpr int kCommands = 20000;
constexpr int kFiles = 2000;
constexpr int kSections = 200;

class SilentReporter : public Reporter {
 public:
  void ReportProgress(MessageId, std::string_view) override {}
  void LogMessage(MessageId, std::string_view) override {}
  void LogText(std::string_view) override {}
};

std::string FileName(int number) {
  return "bin\\module" + std::to_string(number) + ".dll";
}

// Lines padded to 52 bytes with their CR LF, as real scripts are aligned. Main calls the first of
// 200 sections of 100 commands, each calling the next; every file is fetched by one command.
const std::string& ScriptPath() {
  static const std::string path = [] {
    std::string text = "[Main]\r\nCall Section0\r\n";
    const auto line = [&text](std::string command) {
      command.resize(50, ' ');
      text += command + "\r\n";
    };
    for (int i = 0; i < kCommands; ++i) {
      const int section = i / (kCommands / kSections);
      if (i % (kCommands / kSections) == 0)
        text += "[Section" + std::to_string(section) + "]\r\n";
      const std::string variable = "szVariable" + std::to_string(i % 500);
      switch (i % 5) {
        case 0:
          line("Set " + variable + " = value_" + std::to_string(i));
          break;
        case 1:
          line("ExtractFileSet " + FileName(i / 5 % kFiles));
          break;
        case 2:
          line(i % 100 == 2 && section + 1 < kSections
                   ? "Call Section" + std::to_string(section + 1)
                   : "GetRegValue " + variable + " = HKLM\\SOFTWARE\\Velkor, szVer");
          break;
        case 3:
          line("Return " + variable + " >= 4.0.10|bReady == TRUE");
          break;
        case 4:
          line("StringAppend " + variable + " = Quote, szProdDir");
          break;
      }
    }
    const std::string file =
        (std::filesystem::temp_directory_path() / "omnipack-check-bench.osc").string();
    std::ofstream(file, std::ios::binary) << text;
    return file;
  }();
  return path;
}

void BM_LoadScript(benchmark::State& state) {
  SilentReporter reporter;
  script::RunState run_state;
  for (auto _ : state) {
    const script::LoadedScript loaded = script::LoadScript(
        ScriptPath(), "C:\\temp", {reporter, run_state, shell::CommandHandlers()});
    if (loaded.status != status::kOk)
      state.SkipWithError("the script does not load");
  }
}
BENCHMARK(BM_LoadScript)->Unit(benchmark::kMillisecond);

void BM_CheckScript(benchmark::State& state) {
  omnipack::CheckedPackage package;
  package.script_label = ScriptPath();
  package.files.push_back({"ORQSCRIP.OSC", "ORQSCRIP.OSC", true});
  for (int i = 0; i < kFiles; ++i)
    package.files.push_back({FileName(i), FileName(i), true});
  package.read_text = [](const omnipack::PackagedFile&) { return std::nullopt; };
  for (auto _ : state) {
    if (script::ReadScriptFile(ScriptPath(), package.script_text) != status::kOk)
      state.SkipWithError("the script cannot be read");
    const std::vector<omnipack::Finding> findings = omnipack::CheckScript(package);
    if (!findings.empty())
      state.SkipWithError("the script has findings");
  }
}
BENCHMARK(BM_CheckScript)->Unit(benchmark::kMillisecond);

}  // namespace

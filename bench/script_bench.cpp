// The script engine on a large script: parsing 1 MB of 20,000 commands, and running a Main of
// 20,000 SET lines over 500 variables. Each has a reference measured in the same run: splitting
// the same text into lines, and the same 20,000 assignments straight into a hash map. And calls
// among many sections at two sizes: the time per call must not grow with the script.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "log/reporter.h"
#include "script/interpreter.h"
#include "script/run_state.h"
#include "script/script_context.h"
#include "script/script_parser.h"
#include "shell/run/command_handlers.h"

namespace {

constexpr int kCommands = 20000;
constexpr int kVariables = 500;

class SilentReporter : public Reporter {
 public:
  void ReportProgress(MessageId, std::string_view) override {}
  void LogMessage(MessageId, std::string_view) override {}
  void LogText(std::string_view) override {}
};

// Pads a line with alignment blanks, as real scripts are written, to 52 bytes with its CR LF.
void AppendLine(std::string& text, std::string line) {
  constexpr std::size_t kLine = 50;
  if (line.size() < kLine)
    line.append(kLine - line.size(), ' ');
  text += line;
  text += "\r\n";
}

std::string Name(std::string_view stem, int number) {
  std::string name(stem);
  name += std::to_string(number);
  return name;
}

// 20,000 commands of the kinds real scripts hold, in 200 sections of 100, about 1 MB.
const std::string& LargeScript() {
  static const std::string text = [] {
    std::string script;
    for (int i = 0; i < kCommands; ++i) {
      if (i % 100 == 0)
        script.append("[").append(Name("Section", i / 100)).append("]\r\n");
      const std::string variable = Name("szVariable", i % kVariables);
      switch (i % 5) {
        case 0:
        case 1:
          AppendLine(script, "Set        " + variable + " = " + Name("value_", i));
          break;
        case 2:
          AppendLine(script, "CALL       " + Name("Section", (i / 100 + 1) % 200));
          break;
        case 3:
          AppendLine(script, "return     " + variable + " >= 4.0.10|bReady == TRUE");
          break;
        case 4:
          AppendLine(script, "StringAppend " + variable + " = Quote, szProdDir");
          break;
      }
    }
    script += "[Main]\r\n";
    return script;
  }();
  return text;
}

// Main: 20,000 SET lines over 500 variables; every other line copies another variable's value.
const std::string& SetScript() {
  static const std::string text = [] {
    std::string script = "[Main]\r\n";
    for (int i = 0; i < kCommands; ++i) {
      const std::string value =
          i % 2 == 0 ? Name("version_4.0.", i) : Name("szVariable", (i * 7) % kVariables);
      AppendLine(script, "Set " + Name("szVariable", i % kVariables) + " = " + value);
    }
    return script;
  }();
  return text;
}

void CountCommands(benchmark::State& state, std::size_t bytes) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
  state.counters["per_command"] = benchmark::Counter(
      kCommands, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ParseScript(benchmark::State& state) {
  const std::string& text = LargeScript();
  SilentReporter reporter;
  script::RunState run_state;
  for (auto _ : state) {
    script::ScriptContext context({reporter, run_state, shell::CommandHandlers()});
    const Status status = script::ParseScript(context, text);
    if (status != status::kOk)
      state.SkipWithError("the script does not parse");
    benchmark::DoNotOptimize(context.sections.Count());
  }
  CountCommands(state, text.size());
}
BENCHMARK(BM_ParseScript)->Unit(benchmark::kMillisecond);

// The floor for parsing: finding every line of the same text.
void BM_SplitLinesReference(benchmark::State& state) {
  const std::string_view text = LargeScript();
  for (auto _ : state) {
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start < text.size();) {
      std::size_t end = text.find('\n', start);
      if (end == std::string_view::npos)
        end = text.size();
      lines.push_back(text.substr(start, end - start));
      start = end + 1;
    }
    benchmark::DoNotOptimize(lines.data());
  }
  CountCommands(state, text.size());
}
BENCHMARK(BM_SplitLinesReference)->Unit(benchmark::kMillisecond);

// Each run starts with an empty variable table, as a real run does.
void BM_RunMainSets(benchmark::State& state) {
  SilentReporter reporter;
  script::RunState run_state;
  script::ScriptContext context({reporter, run_state, shell::CommandHandlers()});
  if (script::ParseScript(context, SetScript()) != status::kOk) {
    state.SkipWithError("the script does not parse");
    return;
  }
  for (auto _ : state) {
    state.PauseTiming();
    context.variables = script::VariableTable();
    state.ResumeTiming();
    const Status status = script::RunMain(context);
    if (status != status::kOk)
      state.SkipWithError("Main failed");
  }
  CountCommands(state, SetScript().size());
}
BENCHMARK(BM_RunMainSets)->Unit(benchmark::kMillisecond);

// The floor for running: the same 20,000 assignments, already split, into a hash map.
void BM_MapAssignReference(benchmark::State& state) {
  std::vector<std::pair<std::string, std::string>> assignments;
  for (int i = 0; i < kCommands; ++i) {
    assignments.emplace_back(
        Name("szVariable", i % kVariables),
        i % 2 == 0 ? Name("version_4.0.", i) : Name("szVariable", (i * 7) % kVariables));
  }
  for (auto _ : state) {
    state.PauseTiming();
    std::unordered_map<std::string, std::string> variables;
    state.ResumeTiming();
    for (const auto& [name, value] : assignments) {
      const auto found = variables.find(value);
      variables[name] = found != variables.end() ? found->second : value;
    }
    benchmark::DoNotOptimize(variables.size());
  }
  CountCommands(state, SetScript().size());
}
BENCHMARK(BM_MapAssignReference)->Unit(benchmark::kMillisecond);

// A script of as many sections as calls from Main: each section called once (last_only 0), or
// the last section every time (1), the worst case for a lookup that walks the sections.
std::string CallScript(int sections, bool last_only) {
  std::string script = "[Main]\r\n";
  for (int i = 0; i < sections; ++i)
    script.append("Call ").append(Name("S", last_only ? sections - 1 : i)).append("\r\n");
  for (int i = 0; i < sections; ++i)
    script.append("[").append(Name("S", i)).append("]\r\nReturn a=a\r\n");
  return script;
}

void BM_CallSections(benchmark::State& state) {
  const auto sections = static_cast<int>(state.range(0));
  SilentReporter reporter;
  script::RunState run_state;
  script::ScriptContext context({reporter, run_state, shell::CommandHandlers()});
  if (script::ParseScript(context, CallScript(sections, state.range(1) != 0)) != status::kOk) {
    state.SkipWithError("the script does not parse");
    return;
  }
  for (auto _ : state) {
    context.sections_run = 0;
    if (script::RunMain(context) != status::kOk)
      state.SkipWithError("Main failed");
  }
  state.counters["per_call"] = benchmark::Counter(
      sections, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_CallSections)
    ->ArgNames({"sections", "last_only"})
    ->Args({10000, 0})
    ->Args({99000, 0})
    ->Args({10000, 1})
    ->Args({99000, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace

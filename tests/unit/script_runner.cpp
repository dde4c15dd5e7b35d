#include "script_runner.h"

#include <gtest/gtest.h>

#include "platform/filesystem.h"
#include "script/interpreter.h"
#include "script/script_loader.h"
#include "shell/run/command_handlers.h"

namespace test_support {

std::string Crlf(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '\n')
      out += '\r';
    out += c;
  }
  return out;
}

ScriptRunner::ScriptRunner() : package_folder_(scratch_ / "pkg") {
  platform::CreateFolder(package_folder_);
}

ScriptRunner::ScriptRunner(package::PackageFile& main_set,
                           const package::PackageDescriptor& descriptor)
    : ScriptRunner() {
  main_set_ = &main_set;
  descriptor_ = &descriptor;
}

Status ScriptRunner::Load(std::string_view text) {
  const std::string path = scratch_ / "ORQSCRIP.OSC";
  if (!WriteFileText(path, text))
    return status::kWriteFailed;
  script::LoadedScript loaded = script::LoadScript(
      path, package_folder_, {reporter, state, shell::CommandHandlers(), main_set_, descriptor_});
  context_ = std::move(loaded.context);
  if (loaded.status != status::kOk)
    return loaded.status;
  return script::RunThisPackage(*context_);
}

Status ScriptRunner::Run(std::string_view text) {
  const Status loaded = Load(text);
  if (loaded != status::kOk)
    return loaded;
  return script::RunMain(*context_);
}

std::optional<std::string> ScriptRunner::Variable(std::string_view name) const {
  if (context_ == nullptr)
    return std::nullopt;
  const std::string* value = context_->variables.Find(name);
  return value == nullptr ? std::nullopt : std::optional<std::string>(*value);
}

std::vector<RecordingReporter::Report> ScriptRunner::ReportsOf(MessageId id) const {
  std::vector<RecordingReporter::Report> found;
  for (const RecordingReporter::Report& report : reporter.reports) {
    if (report.id == id)
      found.push_back(report);
  }
  return found;
}

void ExpectVariables(const ScriptRunner& runner, const Variables& expected) {
  for (const auto& [name, value] : expected) {
    EXPECT_EQ(runner.Variable(name), value) << "variable " << name;
  }
}

}  // namespace test_support

#pragma once

// Runs script text the way the installer does — written to a file, LoadScript, RunThisPackage,
// RunMain — and keeps what the tests look at: statuses, variables, the final-status word and the
// reports.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/status.h"
#include "package/container.h"
#include "recording_reporter.h"
#include "script/run_state.h"
#include "script/script_context.h"
#include "test_support.h"

namespace test_support {

// Script text written with "\n" line ends, turned into the "\r\n" of real scripts.
std::string Crlf(std::string_view text);

class ScriptRunner {
 public:
  // With an empty package: INCLUDEGLOBALS finds only files already in package_folder().
  ScriptRunner();
  // With an opened main set and its directory; both outlive the runner.
  ScriptRunner(package::PackageFile& main_set, const package::PackageDescriptor& descriptor);

  // Loads text (taken as it is) and runs ThisPackage; the load status.
  Status Load(std::string_view text);
  // Load, then Main when loading succeeded; the run status, or the load status when loading
  // failed.
  Status Run(std::string_view text);

  // A variable's whole value; none when the script has no such variable.
  std::optional<std::string> Variable(std::string_view name) const;
  // The reports with one message id, in order.
  std::vector<RecordingReporter::Report> ReportsOf(MessageId id) const;

  const std::string& package_folder() const { return package_folder_; }
  script::ScriptContext& context() { return *context_; }

  RecordingReporter reporter;
  script::RunState state;

 private:
  ScratchFolder scratch_;
  std::string package_folder_;
  package::PackageFile no_set_;
  package::PackageDescriptor no_directory_;
  package::PackageFile* main_set_ = &no_set_;
  const package::PackageDescriptor* descriptor_ = &no_directory_;
  std::unique_ptr<script::ScriptContext> context_;
};

// Expected values by name; none means the variable must not exist.
using Variables = std::vector<std::pair<std::string, std::optional<std::string>>>;
void ExpectVariables(const ScriptRunner& runner, const Variables& expected);

}  // namespace test_support

// The installer's entry: one installer at a time, the language library from the package, the
// options, the log, the run, then the outcome, the completion record and the restart. The exit
// code is the run status code.

#include <windows.h>

#include <optional>
#include <string>

#include "base/status.h"
#include "log/error_boxes.h"
#include "log/install_log.h"
#include "log/messages.h"
#include "log/reporting.h"
#include "package/container.h"
#include "package/temp_folder.h"
#include "platform/filesystem.h"
#include "platform/system.h"
#include "platform/win32/library_loading.h"
#include "script/run_state.h"
#include "shell/completion_record.h"
#include "shell/language_library.h"
#include "shell/options/command_line.h"
#include "shell/options/run_options.h"
#include "shell/protection_notice.h"
#include "shell/restart.h"
#include "shell/run/run_installation.h"
#include "shell/settled_run.h"
#include "shell/single_instance.h"
#include "shell/wizard/wizard.h"

namespace {

// What the run decided about restarting: the options' choice, or the wizard's end page.
struct RunOutcome {
  Status result = status::kNoRun;
  bool restart = false;
};

// Silent and extract-only runs happen on this thread; a windowed run shows the wizard, whose
// worker thread runs the installation.
RunOutcome Run(const shell::RunOptions& options, const shell::InstallationRun& run,
               logging::StatusReporter& reporter, const shell::WizardRun& wizard) {
  if (options.silent || options.extract_only)
    return {shell::RunAndSettle(run, reporter, options.silent), options.restart};
  const shell::WizardOutcome outcome = shell::RunWizard(wizard);
  return {outcome.result, outcome.restart};
}

// Everything after the language library is loaded; the library outlives it.
Status RunWithLanguage(HINSTANCE instance, const std::optional<shell::ParsedCommandLine>& parsed,
                       bool silent, const std::string& self,
                       const package::PackageDescriptor& descriptor, Status trailer_status,
                       const shell::LoadedLanguageLibrary& library) {
  logging::InstallLog log;  // lines before the log is set up go to the early log file
  logging::SystemErrorBoxes boxes;
  logging::StatusReporter reporter(library, log, boxes);

  shell::RunOptions options;
  if (parsed) {
    if (shell::ValidateCommandLine(*parsed) != status::kOk) {
      // Its line goes to the early log file.
      reporter.ShowStatusError(status::kBadCommandLine, silent);
      return status::kBadCommandLine;
    }
    options = shell::ReadRunOptions(*parsed, self);
  }
  log.SetUpInstallLog({options.log_path, platform::TempDirectory(), self, options.silent}, library,
                      boxes);

  script::RunState state;
  state.no_change = options.no_change;
  RunOutcome outcome{trailer_status, options.restart};
  if (trailer_status != status::kOk) {
    // A damaged package, or one for the NT family only on the 9x family, runs nothing: its
    // trailer's status ends the run.
    reporter.ShowStatusError(trailer_status, options.silent);
  } else {
    const shell::InstallationRun run{self,  descriptor,           reporter,
                                     state, options.extract_only, options.extract_target};
    outcome = Run(options, run, reporter, {instance, library, run, reporter, boxes, log.path()});
  }
  const Status result = outcome.result;

  if (options.extract_only) {
    reporter.LogMessage(
        result == status::kOk ? message::kExtractionSucceeded : message::kExtractionFailed, {});
    return result;
  }
  reporter.LogMessage(result == status::kOk ? message::kUpdateSucceeded : message::kUpdateFailed,
                      {});
  shell::WriteCompletionRecord(result, state.reboot_not_needed);
  if (result == status::kOk && !state.reboot_not_needed) {
    shell::SystemConfirmBoxes confirm;
    shell::RestartComputer({options.silent, options.prompt, outcome.restart}, library, reporter,
                           confirm);
  }
  return result;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
  platform::RestrictLibrarySearch();
  // Held until the process ends, past the restart question: a second installer started while
  // this one waits there must not run, nor find the update-in-progress event reset under it.
  shell::SingleInstance guard;
  if (!guard.IsFirst())
    return status::kNoRun;
  std::optional<shell::UpdateInProgressNotice> notice(std::in_place);
  // Silence is read before anything can fail, so that a silent run never shows a box. A parse
  // without memory leaves every option off.
  const std::optional<shell::ParsedCommandLine> parsed = shell::ParseCommandLine(command_line);
  const bool silent = parsed && shell::RequestsSilence(*parsed);

  const std::string self = platform::OwnProgramPath();
  package::PackageDescriptor descriptor;
  const Status trailer_status = package::ReadPackageTrailer(self, descriptor);
  std::string language_folder;
  std::string library_name;
  shell::PrepareLanguageLibrary(self, descriptor, language_folder, library_name);

  Status result;
  {
    const shell::LoadedLanguageLibrary library(language_folder, library_name);
    if (!library.IsLoaded()) {
      shell::ReportLibraryLoadFailure(library.LoadError(), silent);
      result = status::kLanguageLibraryFailed;
    } else {
      result = RunWithLanguage(instance, parsed, silent, self, descriptor, trailer_status, library);
    }
    notice.reset();  // the driver hears that the run is over before the library goes
  }
  if (!language_folder.empty())
    package::RemoveTempFolder(language_folder);
  return result;
}

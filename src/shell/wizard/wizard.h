#pragma once

#include <windows.h>

#include <string>

#include "base/status.h"
#include "log/error_boxes.h"
#include "log/reporting.h"
#include "shell/language_library.h"
#include "shell/run/run_installation.h"

namespace shell {

// What a windowed run takes from the entry.
struct WizardRun {
  HINSTANCE instance = nullptr;
  // The pages' templates and bitmap, the caption (message 1) and "View Log" (message 109).
  const LoadedLanguageLibrary& library;
  const InstallationRun& installation;
  // The progress text the copy page shows, and the failed run's box and log line.
  logging::StatusReporter& reporter;
  // Taken over by the copy page while the run goes on.
  logging::SystemErrorBoxes& boxes;
  // The install log, opened by "View Log"; empty when there is none.
  std::string log_path;
};

// How a windowed run ended.
struct WizardOutcome {
  // The run's settled status; kNoRun when the wizard closed before the run finished or could not
  // be shown.
  Status result = status::kNoRun;
  // The end page's choice: restart now.
  bool restart = false;
};

// Shows the minimised main window and, over it, the three-page wizard: the start page, the copy
// page, on which a worker thread runs the installation while a timer shows its progress, and the
// end page, which offers the restart and the log. Returns when the main window has closed.
WizardOutcome RunWizard(const WizardRun& run);

}  // namespace shell

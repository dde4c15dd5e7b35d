#pragma once

#include "base/status.h"
#include "log/reporting.h"
#include "shell/run/run_installation.h"

namespace shell {

// Runs the installation and settles its status: a script that ran through but left the final-status
// word set ends with that word's status; a status other than kOk is shown (a box unless silent)
// and logged. Silent and extract-only runs call it on the entry thread, the wizard's worker on its
// own.
Status RunAndSettle(const InstallationRun& run, logging::StatusReporter& reporter, bool silent);

}  // namespace shell

#include "shell/settled_run.h"

#include "log/status_catalogue.h"

namespace shell {

Status RunAndSettle(const InstallationRun& run, logging::StatusReporter& reporter, bool silent) {
  Status result = status::kOk;
  {
    // A run writes a line or two for every file it installs: the log stays open meanwhile.
    const logging::KeptOpenLog kept_open(reporter.log());
    result = RunInstallation(run);
  }
  if (result == status::kOk && !run.extract_only && run.state.final_status_word != 0)
    result = logging::MapFinalStatus(run.state.final_status_word);
  if (result != status::kOk)
    reporter.ShowStatusError(result, silent);
  return result;
}

}  // namespace shell

#pragma once

#include <string>

#include "base/status.h"
#include "log/reporter.h"
#include "package/container.h"
#include "script/run_state.h"

namespace shell {

// One installation run: what the entry hands to it.
struct InstallationRun {
  std::string installer_path;
  const package::PackageDescriptor& descriptor;
  Reporter& reporter;
  script::RunState& state;
  bool extract_only = false;
  // Extract-only: the folder to unpack into; empty means the installer's own folder.
  std::string extract_target;
};

// Reads the main set in place inside the installer, verifies its signature and either runs its
// install script or, in extract-only mode, unpacks every file. Removes its temporary folder and
// returns the run status code.
Status RunInstallation(const InstallationRun& run);

}  // namespace shell

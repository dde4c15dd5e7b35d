#pragma once

#include <optional>
#include <string>

#include "shell/options/command_line.h"

namespace shell {

// What the command line and SETUP.ISS choose for a run.
struct RunOptions {
  bool silent = false;
  bool no_change = false;
  bool extract_only = false;
  // The value of E; empty when E has none (the installer's own folder is meant).
  std::string extract_target = {};
  // In silent mode, ask before restarting.
  bool prompt = false;
  // Restart without asking when the run leaves files for replacement.
  bool restart = false;
  // From LOGFILE, replaced by a non-empty szLogFile of SETUP.ISS.
  std::optional<std::string> log_path = {};
};

// Applies the options of a validated command line. SETUP.ISS beside installer_path is read only
// for S without SILENT: SILENT alone is the way to run silently with the file ignored.
RunOptions ReadRunOptions(const ParsedCommandLine& parsed, const std::string& installer_path);

// Reads section "OmniPackOptions" of SETUP.ISS in the installer's folder: bReboot and bPrompt turn
// their flags on, a non-empty szLogFile replaces the log path. Nothing is ever turned off. False
// when there is no such file.
bool ReadSetupIss(const std::string& installer_path, RunOptions& options);

}  // namespace shell

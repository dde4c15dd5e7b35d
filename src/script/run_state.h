#pragma once

#include <cstdint>

namespace script {

// The process-wide words a run shares with the shell: written on the thread that runs the script,
// read by the shell when the run has ended.
struct RunState {
  // Decides the outcome of a run that otherwise succeeds; 1 at start.
  std::uint16_t final_status_word = 1;
  // Cleared when a file is left for replacement at restart.
  bool reboot_not_needed = true;
  // Cleared to make every installing command schedule its file for replacement at restart.
  bool direct_copy_mode = true;
  // Set once a file of this run waits for its replacement at restart: a later failure to schedule
  // another one must not clear the restart that this one needs.
  bool replacement_pending = false;
  // The "NC" switch of the command line.
  bool no_change = false;
};

}  // namespace script

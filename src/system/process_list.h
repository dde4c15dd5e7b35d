#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace system_commands {

struct RunningProcess {
  DWORD id;
  // The file name of its program, without the folder.
  std::string program;
};

// Every running process, in the system's order, from one snapshot of the process list: the cost
// does not grow with the processes beyond copying their names, and none of them is opened. Empty
// when the snapshot cannot be taken.
std::vector<RunningProcess> RunningProcesses();

}  // namespace system_commands

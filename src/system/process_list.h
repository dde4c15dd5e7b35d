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

// Every running process, in the system's order, from one reading of the system's process list:
// beyond that reading only copying the names grows with the processes, and none of them is opened.
// Empty when the list cannot be read.
std::vector<RunningProcess> RunningProcesses();

}  // namespace system_commands

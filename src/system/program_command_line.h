#pragma once

#include <string>

namespace system_commands {

// The command line to start for an item of STARTORQAPPS, so that the system starts the program
// the item names and never a program named by a shorter part of its path ("C:\Program.exe" for
// "C:\Program Files\Velkor\app.exe /s"). A line that starts with a quote, or holds no blank, is
// kept as it is. Otherwise the program is the text up to the first word that ends in ".exe" (any
// case); without one, the longest part up to a blank (or the whole line) that the system's search
// finds as a program; that part is quoted and the rest kept. A line in which neither is found is
// quoted whole, so that nothing shorter is started.
std::string ProgramCommandLine(const std::string& item);

}  // namespace system_commands

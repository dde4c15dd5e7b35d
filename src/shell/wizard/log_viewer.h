#pragma once

#include <string>

namespace shell {

// The editor that shows the install log: the file name in the string value "szEditor" of the
// completion record's key, or "NotePad.exe" when that cannot be read or is empty, in the Windows
// folder; empty when the joined path is too long.
std::string LogViewerProgram();

// Starts program, shown normally, with the log path in double quotes as its argument, and does
// not wait. The program is named to the system as well as quoted at the head of the command line,
// so that a folder with blanks never starts a program named by a shorter part of its path. A
// failure to start is ignored, as the button has nothing to say.
void StartLogViewer(const std::string& program, const std::string& log_path);

}  // namespace shell

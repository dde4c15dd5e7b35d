#pragma once

// Runs script text with its work directory already set, as SETWORKDIR would leave it, so that the
// file commands can be tried on a scratch folder; and sets the process's current folder, which
// such a script must never depend on.

#include <windows.h>

#include <string>
#include <string_view>

#include "base/status.h"
#include "script/interpreter.h"
#include "script_runner.h"

namespace test_support {

// The current folder of the process for as long as the object lives.
class CurrentFolder {
 public:
  explicit CurrentFolder(const std::string& folder) {
    char previous[MAX_PATH];
    ::GetCurrentDirectoryA(sizeof previous, previous);
    previous_ = previous;
    ::SetCurrentDirectoryA(folder.c_str());
  }
  ~CurrentFolder() { ::SetCurrentDirectoryA(previous_.c_str()); }
  CurrentFolder(const CurrentFolder&) = delete;
  CurrentFolder& operator=(const CurrentFolder&) = delete;

 private:
  std::string previous_;
};

// Loads text (written with "\n" line ends), points the work directory at folder and runs Main;
// the run status, or the load status when loading failed.
inline Status RunInFolder(ScriptRunner& runner, const std::string& folder, std::string_view text) {
  const Status loaded = runner.Load(Crlf(text));
  if (loaded != status::kOk)
    return loaded;
  runner.context().work_directory = folder;
  return script::RunMain(runner.context());
}

// Whether the last command of Main stopped its section (the flag is cleared before each command).
inline bool MainStopped(ScriptRunner& runner) {
  return runner.context().current_section != nullptr && runner.context().current_section->stop;
}

}  // namespace test_support

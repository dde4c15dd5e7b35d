#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "base/ascii_case.h"
#include "log/messages.h"
#include "platform/win32/unique_handle.h"
#include "script/values.h"
#include "script/variables.h"
#include "system/handlers.h"
#include "system/interactive_desktop.h"
#include "system/list_items.h"
#include "system/program_command_line.h"

namespace system_commands {
namespace {

using script::ScriptCommand;
using script::ScriptContext;

// The one application window that is asked to close (WM_CLOSE); every other one is sent
// WM_DESTROY.
constexpr std::string_view kCloseMessageClass = "ZentoraWindowClass";
// How long CLOSEORQAPPS waits for a window to go: polls a second apart.
constexpr int kClosePolls = 30;
constexpr DWORD kPollMilliseconds = 1000;
// The pause after each program STARTORQAPPS started.
constexpr DWORD kStartPauseMilliseconds = 3000;

HWND FindWindowByClass(const std::string& name) {
  return ::FindWindowA(name.c_str(), nullptr);
}

// A top-level window whose class is name, or else whose title is name.
HWND FindApplicationWindow(const std::string& name) {
  const HWND window = FindWindowByClass(name);
  return window != nullptr ? window : ::FindWindowA(nullptr, name.c_str());
}

// Sends the application's window its message and waits, by class name, for the window to go: a
// window found only by its title is normally not waited for.
void CloseApplication(ScriptContext& context, const std::string& name) {
  const HWND window = FindApplicationWindow(name);
  if (window == nullptr)
    return;
  ReportItem(context, message::kClosingApplication, name);
  ::SendMessageA(window, base::EqualsIgnoringCase(name, kCloseMessageClass) ? WM_CLOSE : WM_DESTROY,
                 0, 0);
  ::Sleep(kPollMilliseconds);
  for (int poll = 0; poll < kClosePolls; ++poll) {
    const bool gone = FindWindowByClass(name) == nullptr;
    ::Sleep(kPollMilliseconds);
    if (gone)
      return;
  }
}

// CLOSEORQAPPS class-or-title, ...: closes each application on the interactive desktop. Always
// succeeds.
Status CloseOrqApps(ScriptContext& context, const ScriptCommand& command) {
  ListItems items(command.argument);
  std::optional<std::string_view> item = items.Next();
  if (!item)
    return status::kOk;
  const InteractiveDesktop desktop;
  for (; item; item = items.Next())
    CloseApplication(context, std::string(*item));
  return status::kOk;
}

// The current folder of the process while a command runs with another one.
class ScopedCurrentFolder {
 public:
  // folder: the one to make current; empty keeps the current one.
  explicit ScopedCurrentFolder(const std::string& folder) {
    char previous[MAX_PATH];
    const DWORD length = ::GetCurrentDirectoryA(sizeof previous, previous);
    if (length != 0 && length < sizeof previous)
      previous_.assign(previous, length);
    if (!folder.empty())
      ::SetCurrentDirectoryA(folder.c_str());
  }
  ~ScopedCurrentFolder() {
    if (!previous_.empty())
      ::SetCurrentDirectoryA(previous_.c_str());
  }
  ScopedCurrentFolder(const ScopedCurrentFolder&) = delete;
  ScopedCurrentFolder& operator=(const ScopedCurrentFolder&) = delete;

 private:
  std::string previous_;
};

// Starts the program of a command line with its window hidden, in the work directory when one is
// set, and does not wait for it.
void StartApplication(ScriptContext& context, const std::string& item) {
  ReportItem(context, message::kStartingApplication, item);
  std::string command_line = ProgramCommandLine(item);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION started{};
  const char* folder = context.work_directory.empty() ? nullptr : context.work_directory.c_str();
  if (!::CreateProcessA(nullptr, command_line.data(), nullptr, nullptr, FALSE,
                        NORMAL_PRIORITY_CLASS, nullptr, folder, &startup, &started)) {
    return;
  }
  const platform::KernelHandle process(started.hProcess);
  const platform::KernelHandle thread(started.hThread);
  ::Sleep(kStartPauseMilliseconds);
}

// STARTORQAPPS command-line, ...: starts each program. Always succeeds.
Status StartOrqApps(ScriptContext& context, const ScriptCommand& command) {
  const ScopedCurrentFolder current(context.work_directory);
  ListItems items(command.argument);
  for (std::optional<std::string_view> item = items.Next(); item; item = items.Next())
    StartApplication(context, std::string(*item));
  return status::kOk;
}

// ISAPPRUNNING var=class-or-title: "1" when a top-level window has that class, or else that
// title; "0" otherwise.
Status IsAppRunning(ScriptContext& context, const ScriptCommand& command) {
  std::string name;
  std::string subject;
  const Status split = script::SplitAssignment(command.argument, name, script::kValueCapacity,
                                               subject, script::kValueCapacity);
  if (split != status::kOk)
    return script::FailCommand(context, split);
  const bool running = FindApplicationWindow(subject) != nullptr;
  return script::FinishCommand(context, script::SetTruthVariable(context, name, running));
}

constexpr std::array<script::HandlerEntry, 3> kHandlers = {{
    {script::opcode::kCloseOrqApps, CloseOrqApps},
    {script::opcode::kStartOrqApps, StartOrqApps},
    {script::opcode::kIsAppRunning, IsAppRunning},
}};

}  // namespace

script::HandlerList ApplicationCommandHandlers() {
  return kHandlers;
}

}  // namespace system_commands

// CLOSEORQAPPS, ISAPPRUNNING and STARTORQAPPS against real window programs (tests/helpers/
// app_window.cpp), which end with the message they were sent as their exit code.

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "command_test.h"
#include "script/command_table.h"
#include "test_process.h"
#include "test_support.h"

namespace {

namespace opcode = script::opcode;
using Report = test_support::RecordingReporter::Report;
using test_support::HelperPath;
using test_support::Quoted;
using test_support::ScratchFolder;
using test_support::TestProcess;
using test_support::WaitUntil;

constexpr DWORD kDestroyed = WM_DESTROY;
constexpr DWORD kClosed = WM_CLOSE;

bool ClassHasWindow(const std::string& window_class) {
  return ::FindWindowA(window_class.c_str(), nullptr) != nullptr;
}

// A window program of the given class and title, running until it is sent its message.
class AppWindow {
 public:
  // stays: the program ignores the messages that would end it.
  AppWindow(const std::string& window_class, const std::string& title, bool stays = false)
      : window_class_(window_class),
        process_(Quoted(HelperPath("app_window.exe")) + ' ' + Quoted(window_class) + ' ' +
                 Quoted(title) + (stays ? " stay" : "")) {}

  // True once its window exists.
  bool Ready() const {
    return WaitUntil([&] { return ClassHasWindow(window_class_); });
  }
  const TestProcess& process() const { return process_; }

 private:
  std::string window_class_;
  TestProcess process_;
};

std::vector<Report> Reported(MessageId id, const std::string& item) {
  return {{Report::kProgress, id, item}, {Report::kLog, id, item}};
}

using ApplicationCommands = test_support::CommandTest;

TEST_F(ApplicationCommands, CloseOrqAppsClosesEachListedApplication) {
  const struct {
    const char* name;
    std::string argument;
    std::string window_class;
    std::string title;
    std::optional<DWORD> exit_code;  // none: still running after the command
    std::vector<Report> reports;
  } cases[] = {
      {"by class", "OmniClassA", "OmniClassA", "Title A", kDestroyed, Reported(75, "OmniClassA")},
      {"by title", " Omni Title B ", "OmniClassB", "Omni Title B", kDestroyed,
       Reported(75, "Omni Title B")},
      {"the special class, any case", "zentoraWINDOWclass", "ZentoraWindowClass", "Title Z",
       kClosed, Reported(75, "zentoraWINDOWclass")},
      {"after a name that finds nothing", "NoSuchWindow,OmniClassC", "OmniClassC", "Title C",
       kDestroyed, Reported(75, "OmniClassC")},
      {"after an empty item",
       "NoSuchWindow,,OmniClassD",
       "OmniClassD",
       "Title D",
       std::nullopt,
       {}},
      {"an empty list", "", "OmniClassE", "Title E", std::nullopt, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    reporter.reports.clear();
    const AppWindow application(c.window_class, c.title);
    ASSERT_TRUE(application.Ready());
    const HDESK desktop = ::GetThreadDesktop(::GetCurrentThreadId());
    const HWINSTA station = ::GetProcessWindowStation();

    EXPECT_EQ(Run(opcode::kCloseOrqApps, c.argument), status::kOk);
    EXPECT_FALSE(Stopped());
    // A closed window is gone before its process has quite ended.
    EXPECT_EQ(application.process().ExitCode(c.exit_code ? 5000 : 0), c.exit_code);
    EXPECT_EQ(reporter.reports, c.reports);
    EXPECT_EQ(::GetThreadDesktop(::GetCurrentThreadId()), desktop);
    EXPECT_EQ(::GetProcessWindowStation(), station);
  }
}

// The wait goes by class name: a window found by its title is sent its message and not waited for,
// even when it stays (waiting would take 30 seconds).
TEST_F(ApplicationCommands, CloseOrqAppsByTitleDoesNotWaitForTheWindow) {
  const AppWindow application("OmniStayClass", "Omni Stay Title", true);
  ASSERT_TRUE(application.Ready());
  const ULONGLONG start = ::GetTickCount64();
  EXPECT_EQ(Run(opcode::kCloseOrqApps, "Omni Stay Title"), status::kOk);
  EXPECT_LT(::GetTickCount64() - start, 10000u);
  EXPECT_EQ(reporter.reports, Reported(75, "Omni Stay Title"));
  EXPECT_TRUE(application.process().Running());
}

TEST_F(ApplicationCommands, IsAppRunningFindsAWindowByClassOrTitle) {
  const AppWindow application("OmniClassF", "Omni Title F");
  ASSERT_TRUE(application.Ready());
  const struct {
    std::string argument;
    Status status;
    std::optional<std::string> answer;
  } cases[] = {
      {"running = OmniClassF", status::kOk, "1"},
      {"running=Omni Title F", status::kOk, "1"},
      {"running=NoSuchWindow", status::kOk, "0"},
      {"running", status::kNowhereToPutValue, std::nullopt},
      {"running=" + std::string(260, 'x'), status::kNoValueToSet, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.argument);
    context.variables = script::VariableTable{};
    EXPECT_EQ(Run(opcode::kIsAppRunning, c.argument), c.status);
    EXPECT_EQ(Stopped(), c.status != status::kOk);
    EXPECT_EQ(Variable("running"), c.answer);
  }
  EXPECT_TRUE(application.process().Running());
}

// Closes the window that a command started, as its own test cannot hold the process.
void CloseStartedWindow(const std::string& window_class) {
  if (const HWND window = ::FindWindowA(window_class.c_str(), nullptr))
    ::PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return !ClassHasWindow(window_class); }));
}

// A program under a folder with a blank in its name, and a planted program named like the part
// of that path before the blank: the command starts the program the item names, quoted or not.
TEST_F(ApplicationCommands, StartOrqAppsStartsTheNamedProgramNeverAPrefixOfItsPath) {
  ScratchFolder root;
  const std::string folder = root / "Program Files";
  ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
  const std::string program = folder + "\\app_window.exe";
  ASSERT_TRUE(::CopyFileA(HelperPath("app_window.exe").c_str(), program.c_str(), TRUE));
  ASSERT_TRUE(
      ::CopyFileA(HelperPath("run_marker.exe").c_str(), (root / "Program.exe").c_str(), TRUE));
  context.work_directory = root.path();

  const struct {
    std::string item;
    std::string window_class;
  } cases[] = {
      {program + " OmniStartedA StartedA", "OmniStartedA"},
      {Quoted(program) + " OmniStartedB StartedB", "OmniStartedB"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.item);
    reporter.reports.clear();
    EXPECT_EQ(Run(opcode::kStartOrqApps, c.item + ",,NoSuchProgram.exe"), status::kOk);
    EXPECT_FALSE(Stopped());
    EXPECT_TRUE(WaitUntil([&] { return ClassHasWindow(c.window_class); }));
    EXPECT_EQ(reporter.reports, Reported(76, c.item));
    CloseStartedWindow(c.window_class);
  }
  EXPECT_EQ(::GetFileAttributesA((root / "Program.exe.ran").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace

// The restart decision and the shutdown privilege. The restart request itself is never made here.

#include "shell/restart.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "log/messages.h"
#include "memory_message_source.h"
#include "recording_reporter.h"

namespace {

using shell::RestartRequest;

// Answers the restart question as told and keeps what it was asked.
class AnsweringConfirmBoxes : public shell::ConfirmBoxes {
 public:
  explicit AnsweringConfirmBoxes(bool ok) : ok_(ok) {}
  bool Confirm(std::string_view asked, std::string_view asked_caption) override {
    ++shown;
    text = asked;
    caption = asked_caption;
    return ok_;
  }

  int shown = 0;
  std::string text;
  std::string caption;

 private:
  bool ok_;
};

const test_support::MemoryMessageSource kMessages({
    {message::kBoxCaption, "Notification"},
    {message::kRestartPrompt, "Press OK to restart."},
});

TEST(RestartWantedTest, OnlyASilentRunWithThePromptAsks) {
  const struct {
    RestartRequest request;
    bool answer_ok;
    bool wanted;
    bool asked;
  } cases[] = {
      {{.silent = false, .prompt = false, .restart = false}, true, false, false},
      {{.silent = false, .prompt = false, .restart = true}, false, true, false},
      // The end page decides in windowed mode, whatever PROMPT says.
      {{.silent = false, .prompt = true, .restart = false}, true, false, false},
      {{.silent = false, .prompt = true, .restart = true}, false, true, false},
      {{.silent = true, .prompt = false, .restart = true}, false, true, false},
      {{.silent = true, .prompt = false, .restart = false}, true, false, false},
      // The answer replaces the restart flag either way.
      {{.silent = true, .prompt = true, .restart = false}, true, true, true},
      {{.silent = true, .prompt = true, .restart = true}, false, false, true},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(testing::Message() << "silent " << row.request.silent << " prompt "
                                    << row.request.prompt << " restart " << row.request.restart);
    AnsweringConfirmBoxes boxes(row.answer_ok);
    EXPECT_EQ(shell::RestartWanted(row.request, kMessages, boxes), row.wanted);
    EXPECT_EQ(boxes.shown, row.asked ? 1 : 0);
    if (row.asked) {
      EXPECT_EQ(boxes.text, "Press OK to restart.");
      EXPECT_EQ(boxes.caption, "Notification");
    }
  }
}

TEST(RestartComputerTest, NoRestartWantedLogsNothing) {
  for (const RestartRequest& request :
       {RestartRequest{.silent = true, .prompt = true, .restart = true},
        RestartRequest{.silent = false, .prompt = false, .restart = false}}) {
    AnsweringConfirmBoxes cancel(false);
    test_support::RecordingReporter reporter;
    shell::RestartComputer(request, kMessages, reporter, cancel);
    EXPECT_TRUE(reporter.reports.empty());
  }
}

bool PrivilegeEnabled(const char* name) {
  HANDLE token = nullptr;
  EXPECT_TRUE(::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token));
  PRIVILEGE_SET set{};
  set.PrivilegeCount = 1;
  set.Control = PRIVILEGE_SET_ALL_NECESSARY;
  EXPECT_TRUE(::LookupPrivilegeValueA(nullptr, name, &set.Privilege[0].Luid));
  BOOL enabled = FALSE;
  EXPECT_TRUE(::PrivilegeCheck(token, &set, &enabled));
  ::CloseHandle(token);
  return enabled != FALSE;
}

TEST(SetPrivilegeTest, EnablesAndDisablesTheShutdownPrivilege) {
  const bool was_enabled = PrivilegeEnabled(SE_SHUTDOWN_NAME);
  EXPECT_TRUE(shell::SetPrivilege(SE_SHUTDOWN_NAME, true));
  EXPECT_TRUE(PrivilegeEnabled(SE_SHUTDOWN_NAME));
  EXPECT_TRUE(shell::SetPrivilege(SE_SHUTDOWN_NAME, false));
  EXPECT_FALSE(PrivilegeEnabled(SE_SHUTDOWN_NAME));
  shell::SetPrivilege(SE_SHUTDOWN_NAME, was_enabled);
}

TEST(SetPrivilegeTest, UnknownPrivilegeFails) {
  EXPECT_FALSE(shell::SetPrivilege("SeNoSuchPrivilege", true));
}

}  // namespace

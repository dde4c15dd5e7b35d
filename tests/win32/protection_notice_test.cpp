// The notice to the file-protection driver: the named event is set while the run lasts.

#include "shell/protection_notice.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

constexpr const char* kEventName = "Global\\OmniPackUpdateInProgress";

TEST(UpdateInProgressNoticeTest, EventIsSetWhileTheNoticeLivesAndResetAfter) {
  HANDLE observer = nullptr;
  {
    const shell::UpdateInProgressNotice notice;
    ASSERT_TRUE(notice.IsSignalled());
    observer = ::OpenEventA(SYNCHRONIZE, FALSE, kEventName);
    ASSERT_NE(observer, nullptr);
    EXPECT_EQ(::WaitForSingleObject(observer, 0), WAIT_OBJECT_0);
  }
  EXPECT_EQ(::WaitForSingleObject(observer, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  ::CloseHandle(observer);
  // The installer's handle is closed too: with the last handle the event is gone.
  EXPECT_EQ(::OpenEventA(SYNCHRONIZE, FALSE, kEventName), nullptr);
}

}  // namespace

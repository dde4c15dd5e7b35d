#include "shell/restart.h"

#include <windows.h>

#include <string>

#include "platform/system.h"
#include "platform/win32/unique_handle.h"

namespace shell {
namespace {

constexpr std::size_t kTextCapacity = 260;
constexpr DWORD kShutdownNoticeSeconds = 15;

// The process's own token, open for adjusting its privileges; not open when that is refused.
platform::KernelHandle OpenOwnToken() {
  platform::KernelHandle token;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                          token.Receive())) {
    token.Reset();
  }
  return token;
}

// AdjustTokenPrivileges reports a privilege the token lacks only through the last error, and not
// every implementation clears it on full success; so it is cleared before each call.
bool AdjustToken(HANDLE token, TOKEN_PRIVILEGES& privileges, TOKEN_PRIVILEGES* previous,
                 DWORD* previous_size) {
  ::SetLastError(ERROR_SUCCESS);
  ::AdjustTokenPrivileges(token, FALSE, &privileges, previous != nullptr ? sizeof *previous : 0,
                          previous, previous_size);
  return ::GetLastError() == ERROR_SUCCESS;
}

bool RequestRestart(const MessageSource& messages, Reporter& reporter) {
  if (!platform::IsNtFamily()) {
    reporter.LogMessage(message::kRestarting, {});
    return ::ExitWindowsEx(EWX_REBOOT, 0) != 0;
  }
  if (!SetPrivilege(SE_SHUTDOWN_NAME, true))
    return false;
  std::string notice = messages.Message(message::kShutdownNotice, kTextCapacity);
  reporter.LogMessage(message::kRestarting, {});
  return ::InitiateSystemShutdownA(nullptr, notice.data(), kShutdownNoticeSeconds, FALSE, TRUE) !=
         0;
}

}  // namespace

bool SystemConfirmBoxes::Confirm(std::string_view text, std::string_view caption) {
  return ::MessageBoxA(nullptr, std::string(text).c_str(), std::string(caption).c_str(),
                       MB_OKCANCEL | MB_ICONINFORMATION) == IDOK;
}

bool RestartWanted(const RestartRequest& request, const MessageSource& messages,
                   ConfirmBoxes& boxes) {
  if (!request.silent || !request.prompt)
    return request.restart;
  return boxes.Confirm(messages.Message(message::kRestartPrompt, kTextCapacity),
                       messages.Message(message::kBoxCaption, kTextCapacity));
}

bool SetPrivilege(const char* privilege, bool enable) {
  LUID id{};
  if (!::LookupPrivilegeValueA(nullptr, privilege, &id))
    return false;
  const platform::KernelHandle token = OpenOwnToken();
  if (!token.IsOpen())
    return false;
  // First learn the privilege's present attributes, then change only its enabled bit.
  TOKEN_PRIVILEGES query{};
  query.PrivilegeCount = 1;
  query.Privileges[0].Luid = id;
  TOKEN_PRIVILEGES previous{};
  DWORD previous_size = sizeof previous;
  if (!AdjustToken(token.Get(), query, &previous, &previous_size))
    return false;
  previous.PrivilegeCount = 1;
  previous.Privileges[0].Luid = id;
  if (enable)
    previous.Privileges[0].Attributes |= SE_PRIVILEGE_ENABLED;
  else
    previous.Privileges[0].Attributes &= ~static_cast<DWORD>(SE_PRIVILEGE_ENABLED);
  return AdjustToken(token.Get(), previous, nullptr, nullptr);
}

void RestartComputer(const RestartRequest& request, const MessageSource& messages,
                     Reporter& reporter, ConfirmBoxes& boxes) {
  if (!RestartWanted(request, messages, boxes))
    return;
  if (!RequestRestart(messages, reporter))
    reporter.LogMessage(message::kRestartFailed, {});
}

}  // namespace shell

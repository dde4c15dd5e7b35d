#include "shell/wizard/log_viewer.h"

#include <windows.h>

#include "base/path.h"
#include "platform/win32/registry_key.h"
#include "platform/win32/system_info.h"
#include "platform/win32/unique_handle.h"
#include "shell/completion_record.h"

namespace shell {
namespace {

constexpr char kDefaultEditor[] = "NotePad.exe";

std::string EditorName() {
  const platform::RegistryKey key =
      platform::RegistryKey::Open(HKEY_LOCAL_MACHINE, kCompletionRecordKey, KEY_READ);
  char name[base::kPathCapacity] = {};
  DWORD type = REG_NONE;
  DWORD size = sizeof name - 1;
  if (!key.IsOpen() ||
      key.Query("szEditor", type, reinterpret_cast<BYTE*>(name), size) != ERROR_SUCCESS ||
      name[0] == '\0') {
    return kDefaultEditor;
  }
  return name;
}

}  // namespace

std::string LogViewerProgram() {
  std::string program = platform::WindowsDirectory();
  if (program.empty() || !base::JoinPath(program, base::kPathCapacity, EditorName()))
    return {};
  return program;
}

void StartLogViewer(const std::string& program, const std::string& log_path) {
  if (program.empty() || log_path.empty())
    return;
  std::string command_line = '"' + program + "\" \"" + log_path + '"';
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION started{};
  if (::CreateProcessA(program.c_str(), command_line.data(), nullptr, nullptr, FALSE,
                       NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &started)) {
    const platform::KernelHandle process(started.hProcess);
    const platform::KernelHandle thread(started.hThread);
  }
}

}  // namespace shell

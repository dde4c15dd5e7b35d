// Benchmark helper: a busy machine's crowd of other programs, for as long as a file is absent.
//
//   crowd.exe windows COUNT STOP_FILE     one process with COUNT top-level windows, each of a
//                                         class and title of its own ("CrowdWindow1", ...)
//   crowd.exe processes COUNT STOP_FILE   COUNT idle processes of this program
//
// Each prints "ready" when its windows or processes are there, and ends (with its processes) once
// STOP_FILE exists.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr DWORD kPollMs = 100;

bool Exists(const char* path) {
  return ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

void WaitForStop(const char* stop_file, bool pump) {
  while (!Exists(stop_file)) {
    MSG message;
    while (pump && ::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
      ::DispatchMessageA(&message);
    ::Sleep(kPollMs);
  }
}

int RunWindows(int count, const char* stop_file) {
  const HINSTANCE instance = ::GetModuleHandleA(nullptr);
  for (int i = 1; i <= count; ++i) {
    const std::string name = "CrowdWindow" + std::to_string(i);
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = ::DefWindowProcA;
    window_class.hInstance = instance;
    window_class.lpszClassName = name.c_str();
    if (::RegisterClassA(&window_class) == 0 ||
        ::CreateWindowA(name.c_str(), name.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 100, 50, nullptr,
                        nullptr, instance, nullptr) == nullptr) {
      return 3;
    }
  }
  std::puts("ready");
  std::fflush(stdout);
  WaitForStop(stop_file, /*pump=*/true);
  return 0;
}

int RunProcesses(int count, const char* stop_file) {
  char program[MAX_PATH];
  if (::GetModuleFileNameA(nullptr, program, MAX_PATH) == 0)
    return 3;
  std::vector<HANDLE> processes;
  for (int i = 0; i < count; ++i) {
    std::string command_line = std::string("\"") + program + "\" idle 0 \"" + stop_file + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessA(program, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &started)) {
      return 4;
    }
    ::CloseHandle(started.hThread);
    processes.push_back(started.hProcess);
  }
  std::puts("ready");
  std::fflush(stdout);
  WaitForStop(stop_file, /*pump=*/false);
  for (HANDLE process : processes) {
    ::WaitForSingleObject(process, INFINITE);
    ::CloseHandle(process);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4)
    return 2;
  const int count = std::atoi(argv[2]);
  if (std::strcmp(argv[1], "windows") == 0)
    return RunWindows(count, argv[3]);
  if (std::strcmp(argv[1], "processes") == 0)
    return RunProcesses(count, argv[3]);
  if (std::strcmp(argv[1], "idle") == 0) {
    WaitForStop(argv[3], /*pump=*/false);
    return 0;
  }
  return 2;
}

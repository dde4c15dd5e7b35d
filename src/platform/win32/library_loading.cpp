#include "platform/win32/library_loading.h"

#include "base/path.h"

namespace platform {

void RestrictLibrarySearch() {
  // kernel32 is in every process: asking for its handle loads nothing. Both calls are looked up
  // rather than imported, so that the installer still starts on systems without them.
  const HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
  if (const auto set_default_directories =
          FindFunction<decltype(&::SetDefaultDllDirectories)>(kernel, "SetDefaultDllDirectories")) {
    set_default_directories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
  if (const auto set_directory =
          FindFunction<decltype(&::SetDllDirectoryA)>(kernel, "SetDllDirectoryA")) {
    set_directory("");
  }
}

ModuleHandle LoadLibraryAt(const std::string& path) {
  // A name without its place would be searched for, and found wherever the search looks first.
  if (!base::IsAbsolutePath(path)) {
    ::SetLastError(ERROR_MOD_NOT_FOUND);
    return ModuleHandle();
  }
  return ModuleHandle(::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

SystemLibrary::SystemLibrary(const char* name) {
  char folder[MAX_PATH];
  const UINT length = ::GetSystemDirectoryA(folder, sizeof folder);
  if (length == 0 || length >= sizeof folder)
    return;
  std::string path(folder, length);
  if (base::JoinPath(path, base::kPathCapacity, name))
    module_ = LoadLibraryAt(path);
}

}  // namespace platform

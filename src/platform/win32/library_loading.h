#pragma once

// Where the installer's libraries come from. An installer is started from wherever it was
// downloaded to, and a library of a wanted name may lie there or in the current folder; so the
// installer imports only the system's known libraries (always taken from the system) and loads
// every other library by its full path: the system's from the system folder, its own from the
// folder it unpacked them into.

#include <windows.h>

#include <string>

#include "platform/win32/unique_handle.h"

namespace platform {

// Keeps the search for a library named without a path out of the program's folder and the
// current folder: where the system offers SetDefaultDllDirectories, only the system folder is
// searched; where it offers SetDllDirectoryA, the current folder is dropped. Older systems lack
// both and keep their search order. Called first thing in the program, before anything loads a
// library.
void RestrictLibrarySearch();

// Loads the library at path, a full path. The libraries it imports are looked for in its own
// folder first, not in the program's. Closed when the handle goes; not open when the load failed
// (the system's last error says why).
ModuleHandle LoadLibraryAt(const std::string& path);

// The function module exports under name, as the pointer type Function; null when module is null
// or does not export it.
template <typename Function>
Function FindFunction(HMODULE module, const char* name) {
  if (module == nullptr)
    return nullptr;
  // GetProcAddress gives every function one generic type; the caller names the real one.
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// A library of the system that is not one of its known libraries, loaded from the system folder by
// its full path; freed with the object.
class SystemLibrary {
 public:
  // name: the library's file name, e.g. "version.dll".
  explicit SystemLibrary(const char* name);

  bool IsLoaded() const { return module_.IsOpen(); }

  // The function the library exports under name; null when the library is not loaded or does not
  // export it.
  template <typename Function>
  Function Find(const char* name) const {
    return FindFunction<Function>(module_.Get(), name);
  }

 private:
  ModuleHandle module_;
};

}  // namespace platform

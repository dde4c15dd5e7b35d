#pragma once

#include <windows.h>

#include <utility>

namespace platform {

// The one owner of every kind of Win32 handle: it closes the handle with the object. Traits give
// the handle's type, the value that stands for none (the system's calls differ: null or
// INVALID_HANDLE_VALUE) and the call that closes it.
template <typename Traits>
class UniqueHandle {
 public:
  using Value = typename Traits::Value;

  UniqueHandle() = default;
  explicit UniqueHandle(Value value) : value_(value) {}
  UniqueHandle(UniqueHandle&& other) noexcept : value_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    Reset(other.Release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { Reset(); }

  bool IsOpen() const { return value_ != Traits::None(); }
  Value Get() const { return value_; }
  // Gives the handle up without closing it.
  Value Release() { return std::exchange(value_, Traits::None()); }
  // Closes the handle held, if any, and holds value instead.
  void Reset(Value value = Traits::None()) {
    if (IsOpen())
      Traits::Close(value_);
    value_ = value;
  }
  // Where a call that hands its handle back through a pointer puts it; closes the one held first.
  Value* Receive() {
    Reset();
    return &value_;
  }

 private:
  Value value_ = Traits::None();
};

// Events, mutexes, tokens, processes: null when there is none.
struct KernelHandleTraits {
  using Value = HANDLE;
  static Value None() { return nullptr; }
  static void Close(Value handle) { ::CloseHandle(handle); }
};
// Files opened by CreateFileA: INVALID_HANDLE_VALUE when there is none.
struct FileHandleTraits {
  using Value = HANDLE;
  static Value None() { return INVALID_HANDLE_VALUE; }
  static void Close(Value handle) { ::CloseHandle(handle); }
};
// Folder enumerations of FindFirstFileA.
struct FindHandleTraits {
  using Value = HANDLE;
  static Value None() { return INVALID_HANDLE_VALUE; }
  static void Close(Value handle) { ::FindClose(handle); }
};
struct RegistryKeyTraits {
  using Value = HKEY;
  static Value None() { return nullptr; }
  static void Close(Value key) { ::RegCloseKey(key); }
};
struct ModuleTraits {
  using Value = HMODULE;
  static Value None() { return nullptr; }
  static void Close(Value module) { ::FreeLibrary(module); }
};

// Window stations and desktops opened by name (never the ones the system hands out as current).
struct WindowStationTraits {
  using Value = HWINSTA;
  static Value None() { return nullptr; }
  static void Close(Value station) { ::CloseWindowStation(station); }
};
struct DesktopTraits {
  using Value = HDESK;
  static Value None() { return nullptr; }
  static void Close(Value desktop) { ::CloseDesktop(desktop); }
};
// The service manager and its services: null when there is none.
struct ServiceHandleTraits {
  using Value = SC_HANDLE;
  static Value None() { return nullptr; }
  static void Close(Value service) { ::CloseServiceHandle(service); }
};

using KernelHandle = UniqueHandle<KernelHandleTraits>;
using FileHandle = UniqueHandle<FileHandleTraits>;
using FindHandle = UniqueHandle<FindHandleTraits>;
using RegistryKeyHandle = UniqueHandle<RegistryKeyTraits>;
using ModuleHandle = UniqueHandle<ModuleTraits>;
using WindowStationHandle = UniqueHandle<WindowStationTraits>;
using DesktopHandle = UniqueHandle<DesktopTraits>;
using ServiceHandle = UniqueHandle<ServiceHandleTraits>;

}  // namespace platform

// Test helper, built as plxcore32.dll: stands in for the management agent's plug-in library. Its
// two entry points take the plug-in's identifier as a zero-terminated UTF-16 text and are standard
// calls exported under their plain names:
//
//   BOOL WINAPI LoadPluginDLL(const wchar_t* plugin);
//   BOOL WINAPI UnloadPluginDLL(const wchar_t* plugin);
//
// Each call appends a line to plxcore32.dll.calls beside the library, in UTF-16 (little-endian,
// no byte-order mark): the entry point's name, a TAB, the identifier and a LF.

#include <windows.h>

#include <cwchar>
#include <string>

namespace {

HINSTANCE g_instance = nullptr;

BOOL Record(const wchar_t* entry_point, const wchar_t* plugin) {
  wchar_t path[MAX_PATH + 8];
  const DWORD length = ::GetModuleFileNameW(g_instance, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH)
    return FALSE;
  std::wcscpy(path + length, L".calls");
  const HANDLE file = ::CreateFileW(path, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return FALSE;
  const std::wstring line = std::wstring(entry_point) + L"\t" + plugin + L"\n";
  DWORD written = 0;
  const BOOL wrote = ::WriteFile(
      file, line.data(), static_cast<DWORD>(line.size() * sizeof(wchar_t)), &written, nullptr);
  ::CloseHandle(file);
  return wrote;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH)
    g_instance = instance;
  return TRUE;
}

extern "C" __declspec(dllexport) BOOL WINAPI LoadPluginDLL(const wchar_t* plugin) {
  return Record(L"LoadPluginDLL", plugin);
}

extern "C" __declspec(dllexport) BOOL WINAPI UnloadPluginDLL(const wchar_t* plugin) {
  return Record(L"UnloadPluginDLL", plugin);
}

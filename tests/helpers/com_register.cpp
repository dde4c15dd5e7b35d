// Test helper: a COM library that registers itself. Its DllRegisterServer writes the value
// "Library" (REG_SZ, its own full path) into HKEY_CURRENT_USER\Software\OmniPackTests\ComRegister;
// DllUnregisterServer deletes that key.

#include <windows.h>

namespace {

constexpr char kKey[] = "Software\\OmniPackTests\\ComRegister";
HINSTANCE g_instance = nullptr;

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH)
    g_instance = instance;
  return TRUE;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer() {
  char path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameA(g_instance, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH)
    return E_FAIL;
  HKEY key = nullptr;
  if (::RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
    return E_FAIL;
  }
  const LSTATUS wrote =
      ::RegSetValueExA(key, "Library", 0, REG_SZ, reinterpret_cast<const BYTE*>(path), length + 1);
  ::RegCloseKey(key);
  return wrote == ERROR_SUCCESS ? S_OK : E_FAIL;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer() {
  return ::RegDeleteKeyA(HKEY_CURRENT_USER, kKey) == ERROR_SUCCESS ? S_OK : E_FAIL;
}

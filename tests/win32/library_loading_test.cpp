// Libraries loaded by full path only: the system's from the system folder, none by a bare name, and
// the search that the installer restricts at its start. A copy of the marker library, which
// leaves NAME.loaded beside itself when loaded, lies in the current folder under a name the system
// does not have, where a search by that name would find it.

#include "platform/win32/library_loading.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "script_in_folder.h"
#include "test_support.h"

namespace {

using test_support::CurrentFolder;
using test_support::ScratchFolder;

constexpr const char* kPlanted = "omni_planted.dll";

class LibraryLoadingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string marker =
        test_support::SystemPath(std::string(OMNI_HELPERS_DIR) + "/load_marker.dll");
    ASSERT_TRUE(::CopyFileA(marker.c_str(), (current_ / kPlanted).c_str(), TRUE)) << marker;
  }

  bool PlantedWasLoaded() const {
    return ::GetFileAttributesA(sign_.c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  void ClearSign() { ::DeleteFileA(sign_.c_str()); }

  ScratchFolder current_;
  CurrentFolder inside_{current_.path()};
  std::string sign_ = current_ / (std::string(kPlanted) + ".loaded");
};

std::string SystemFolderPath(const char* name) {
  char folder[MAX_PATH];
  const UINT length = ::GetSystemDirectoryA(folder, sizeof folder);
  return std::string(folder, length) + "\\" + name;
}

// The file of the module that holds address.
std::string ModulePathOf(const void* address) {
  HMODULE module = nullptr;
  if (!::GetModuleHandleExA(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          static_cast<const char*>(address), &module))
    return {};
  char path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameA(module, path, sizeof path);
  return std::string(path, length < sizeof path ? length : 0);
}

TEST_F(LibraryLoadingTest, SystemLibraryComesFromTheSystemFolder) {
  const platform::SystemLibrary library("version.dll");
  ASSERT_TRUE(library.IsLoaded());
  const auto install_file = library.Find<decltype(&::VerInstallFileA)>("VerInstallFileA");
  ASSERT_NE(install_file, nullptr);
  EXPECT_EQ(::lstrcmpiA(ModulePathOf(reinterpret_cast<const void*>(install_file)).c_str(),
                        SystemFolderPath("version.dll").c_str()),
            0)
      << ModulePathOf(reinterpret_cast<const void*>(install_file));
  EXPECT_EQ(library.Find<FARPROC>("NoSuchFunction"), nullptr);
}

TEST_F(LibraryLoadingTest, SystemLibraryIsNotLookedForOutsideTheSystemFolder) {
  const platform::SystemLibrary library(kPlanted);
  EXPECT_FALSE(library.IsLoaded());
  EXPECT_EQ(library.Find<FARPROC>("DllMain"), nullptr);
  EXPECT_FALSE(PlantedWasLoaded());
}

TEST_F(LibraryLoadingTest, LoadLibraryAtTakesFullPathsOnly) {
  EXPECT_TRUE(platform::LoadLibraryAt(current_ / kPlanted).IsOpen());
  EXPECT_TRUE(PlantedWasLoaded());
  ClearSign();

  for (const std::string& path : {std::string(kPlanted), ".\\" + std::string(kPlanted)}) {
    ::SetLastError(0);
    EXPECT_FALSE(platform::LoadLibraryAt(path).IsOpen()) << path;
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND)) << path;
  }
  EXPECT_FALSE(PlantedWasLoaded());
}

// The restriction holds for the rest of the process, as it does in the installer; the tests that
// come after this one run under it.
TEST_F(LibraryLoadingTest, RestrictedSearchSkipsTheCurrentFolder) {
  // Before, a bare name is found in the current folder.
  ASSERT_TRUE(platform::ModuleHandle(::LoadLibraryA(kPlanted)).IsOpen());
  ClearSign();

  platform::RestrictLibrarySearch();
  EXPECT_FALSE(platform::ModuleHandle(::LoadLibraryA(kPlanted)).IsOpen());
  EXPECT_FALSE(PlantedWasLoaded());
  // The system's libraries are still found by name.
  EXPECT_TRUE(platform::ModuleHandle(::LoadLibraryA("version.dll")).IsOpen());
}

}  // namespace

#include <windows.h>

#include <gtest/gtest.h>

#include "test_support.h"

namespace {

// The program file carries icon 2, which Explorer shows and the wizard's window class uses.
TEST(InstallerResources, CarriesIconTwo) {
  const std::string path = test_support::SystemPath(OMNI_INSTALLER);
  HMODULE image = ::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(image, nullptr) << path;
  EXPECT_NE(::FindResourceA(image, MAKEINTRESOURCEA(2), RT_GROUP_ICON), nullptr);
  EXPECT_NE(::LoadIconA(image, MAKEINTRESOURCEA(2)), nullptr);
  ::FreeLibrary(image);
}

}  // namespace

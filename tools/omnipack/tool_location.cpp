#include "tool_location.h"

#include <filesystem>
#include <system_error>

namespace omnipack {
namespace {

std::filesystem::path Win32Folder() {
  std::error_code error;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error)
    self = "omnipack";
  return (self.parent_path() / ".." / "win32").lexically_normal();
}

}  // namespace

std::string DefaultStubPath() {
  return (Win32Folder() / "installer.exe").string();
}

std::string DefaultLanguageFolder() {
  return (Win32Folder() / "lang").string();
}

}  // namespace omnipack

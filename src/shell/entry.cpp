// The installer's entry. This first stage checks the package appended to its own file: the trailer
// and directory, then each set copied out and verified against its signature. The exit code is the
// run status code.

#include <windows.h>

#include <string>

#include "log/status.h"
#include "package/container.h"
#include "package/signature.h"
#include "platform/filesystem.h"

namespace {

Status CheckSet(const std::string& installer_path, const package::PackageDescriptor& descriptor,
                package::PackageSet set) {
  platform::File installer =
      platform::File::OpenExisting(installer_path, platform::OpenMode::kReadShareRead);
  if (!installer.IsOpen())
    return status::kInstallerOpenFailed;
  std::string temp_path;
  Status result = package::CopySetToTempFile(installer, descriptor, set, temp_path);
  if (result == status::kOk && package::VerifySetSignature(temp_path) != 0) {
    result = status::kSignatureFailed;
  }
  if (!temp_path.empty())
    platform::RemoveFile(temp_path);
  return result;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char self[MAX_PATH] = {};
  if (GetModuleFileNameA(nullptr, self, MAX_PATH) == 0)
    return status::kInstallerOpenFailed;
  package::PackageDescriptor descriptor;
  Status result = package::ReadPackageTrailer(self, descriptor);
  for (auto set : {package::PackageSet::kLanguage, package::PackageSet::kMain}) {
    if (result == status::kOk)
      result = CheckSet(self, descriptor, set);
  }
  return result;
}

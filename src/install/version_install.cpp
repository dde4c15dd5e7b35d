#include "install/version_install.h"

#include <windows.h>

#include "base/path.h"
#include "platform/filesystem.h"
#include "platform/win32/library_loading.h"

namespace install {
namespace {

// The installer names its temporary copy by file name, relative to the destination folder (some
// versions put a "\" before it).
void RemoveTemporaryCopy(const std::string& folder, const std::string& reported) {
  std::string name = base::FileNameOf(reported);
  if (name.empty())
    name = reported;
  std::string path = folder;
  if (!name.empty() && base::JoinPath(path, base::kPathCapacity, name))
    platform::RemoveFile(path);
}

}  // namespace

bool InstallByVersion(const script::ScriptContext& context, const std::string& package_name,
                      const std::string& destination_name) {
  // Not one of the system's known libraries: imported, it would be looked for beside the
  // installer first. Loaded once, by the first file installed by version, for the whole run.
  static const platform::SystemLibrary library("version.dll");
  const auto install_file = library.Find<decltype(&::VerInstallFileA)>("VerInstallFileA");
  if (install_file == nullptr)
    return false;
  char temporary[base::kPathCapacity] = "";
  UINT temporary_length = sizeof temporary;
  // The headers declare the input names without const; the system only reads them.
  const auto in = [](const std::string& text) { return const_cast<char*>(text.c_str()); };
  const DWORD result = install_file(0, in(package_name), in(destination_name),
                                    in(context.package_folder), in(context.work_directory),
                                    in(context.work_directory), temporary, &temporary_length);
  temporary[sizeof temporary - 1] = '\0';
  if ((result & VIF_TEMPFILE) != 0)
    RemoveTemporaryCopy(context.work_directory, temporary);
  return result == 0 || (result & VIF_SRCOLD) != 0;
}

}  // namespace install

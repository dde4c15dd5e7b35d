#include "installer_image.h"

#include <filesystem>
#include <system_error>

#include "platform/file.h"

namespace omnipack {

std::optional<ToolError> OpenInstaller(const std::string& path, InstallerImage& image) {
  image.path = path;
  std::error_code error;
  image.file_size = std::filesystem::file_size(path, error);
  if (error)
    return ToolError{path, "cannot be opened: " + error.message()};
  image.trailer_status = package::ReadPackageTrailer(path, image.descriptor);
  platform::File file = platform::File::OpenExisting(path, platform::OpenMode::kReadShareRead);
  if (file.IsOpen())
    image.signature = package::FindCertificateTable(file, file.Size());
  for (const package::DirectoryRecord& record : image.descriptor.directory)
    image.record_names.Add(record.Name(), record);
  switch (image.trailer_status) {
    case status::kInstallerOpenFailed:
      return ToolError{path, "cannot be opened"};
    case status::kNoMemory:
      return ToolError{path, "out of memory while reading the directory"};
    default:
      return std::nullopt;
  }
}

LoadedSet LoadSet(const InstallerImage& image, package::PackageSet set) {
  LoadedSet loaded;
  loaded.which = set;
  platform::File installer =
      platform::File::OpenExisting(image.path, platform::OpenMode::kReadShareRead);
  if (!installer.IsOpen()) {
    loaded.status = status::kInstallerOpenFailed;
    return loaded;
  }
  std::string temp_path;
  loaded.status = package::CopySetToTempFile(installer, image.descriptor, set, temp_path);
  loaded.copy = ScratchFile(temp_path);
  if (loaded.status != status::kOk)
    return loaded;
  package::PackageFile copy = package::OpenPackageFile(loaded.copy.path());
  if (!copy.IsOpen() || !WalkSet(copy, loaded.contents))
    loaded.status = status::kOpenFailed;
  return loaded;
}

std::string_view SetLabel(package::PackageSet set) {
  return set == package::PackageSet::kLanguage ? "language set" : "main set";
}

std::string SetLoadProblem(Status status) {
  switch (status) {
    case status::kBadPackage:
      return "no set magic where the trailer places the set";
    case status::kReadFailed:
      return "runs past the end of the file";
    case status::kTempFileFailed:
      return "no temporary file can be created for its copy";
    case status::kWriteFailed:
      return "its temporary copy cannot be written";
    case status::kNoMemory:
      return "out of memory while copying it";
    case status::kInstallerOpenFailed:
      return "the installer cannot be opened";
    default:
      return "its temporary copy cannot be read";
  }
}

}  // namespace omnipack

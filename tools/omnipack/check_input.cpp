#include "check_input.h"

#include "base/ascii_case.h"
#include "base/path.h"
#include "installer_image.h"
#include "package/extraction.h"
#include "package/temp_folder.h"
#include "platform/filesystem.h"
#include "scratch_file.h"
#include "script/script_file.h"
#include "source_folder.h"
#include "stored_names.h"

namespace omnipack {
namespace {

std::optional<std::string> ReadText(const std::string& path) {
  std::string text;
  const Status read = script::ReadScriptFile(path, text);
  if (read != status::kOk && read != status::kEmptyFile)
    return std::nullopt;
  return text;
}

// An installer's main set, copied out, and a folder of its own into which its files are unpacked
// one by one; both go when the check is done.
class OpenedInstaller {
 public:
  OpenedInstaller() = default;
  OpenedInstaller(const OpenedInstaller&) = delete;
  OpenedInstaller& operator=(const OpenedInstaller&) = delete;
  ~OpenedInstaller() {
    if (!folder_.empty())
      package::RemoveTempFolder(folder_);
  }

  std::optional<ToolError> Open(const std::string& path) {
    if (auto error = OpenInstaller(path, image_))
      return error;
    if (image_.trailer_status == status::kBadPackage)
      return ToolError{path, "no package marker at its end: not an installer"};
    loaded_ = LoadSet(image_, package::PackageSet::kMain);
    if (loaded_.status != status::kOk)
      return ToolError{path, "main set: " + SetLoadProblem(loaded_.status)};
    set_ = package::OpenPackageFile(loaded_.copy.path());
    marker_ = ScratchFile::Create();
    if (set_.IsOpen() && marker_.IsValid() &&
        platform::CreateFolder(marker_.path() + ".d") == platform::CreateFolderResult::kCreated) {
      folder_ = marker_.path() + ".d";
    }
    if (folder_.empty())
      return ToolError{path, "no temporary folder can be made to unpack its files"};
    return std::nullopt;
  }

  const InstallerImage& image() const { return image_; }
  const SetContents& contents() const { return loaded_.contents; }

  // The text of an entry, unpacked as the installer unpacks it.
  std::optional<std::string> Read(std::string_view stored_name) {
    if (package::ExtractEntry(set_, folder_, stored_name) != status::kOk)
      return std::nullopt;
    std::string path = folder_;
    if (!base::JoinPath(path, path.size() + stored_name.size() + 3, stored_name))
      return std::nullopt;
    return ReadText(path);
  }

 private:
  InstallerImage image_;
  LoadedSet loaded_;
  package::PackageFile set_;
  ScratchFile marker_;  // reserves the folder's name
  std::string folder_;
};

}  // namespace

std::optional<ToolError> PackageOfEntries(const std::string& folder,
                                          const std::vector<PackEntry>& entries,
                                          CheckedPackage& package) {
  const PackEntry* script = nullptr;
  for (const PackEntry& entry : entries) {
    package.files.push_back({entry.stored_name, entry.source_path, entry.has_record});
    if (base::EqualsIgnoringCase(entry.stored_name, kScriptName))
      script = &entry;
  }
  if (script == nullptr)
    return ToolError{folder, "no install script " + std::string(kScriptName)};
  package.script_label = script->source_path;
  std::optional<std::string> text = ReadText(script->source_path);
  if (!text)
    return ToolError{script->source_path, "cannot be read"};
  package.script_text = std::move(*text);
  package.read_text = [](const PackagedFile& file) { return ReadText(file.label); };
  return std::nullopt;
}

std::optional<ToolError> PackageOfFolder(const std::string& folder, CheckedPackage& package) {
  std::vector<PackEntry> entries;
  std::vector<ToolError> problems;  // what build would refuse is not the script's to check
  if (auto error = CollectFolder(folder, entries, problems))
    return error;
  for (PackEntry& entry : entries)
    entry.has_record = true;
  return PackageOfEntries(folder, entries, package);
}

std::optional<ToolError> PackageOfInstaller(const std::string& path, CheckedPackage& package,
                                            std::shared_ptr<void>& keeper) {
  auto installer = std::make_shared<OpenedInstaller>();
  if (auto error = installer->Open(path))
    return error;
  const auto label = [&path](std::string_view name) {
    return path + "(" + std::string(name) + ")";
  };
  for (const SetEntry& entry : installer->contents().entries) {
    const std::string name = entry.header.Name();
    package.files.push_back({name, label(name), FindRecord(installer->image(), name) != nullptr});
  }
  package.script_label = label(kScriptName);
  std::optional<std::string> text = installer->Read(kScriptName);
  if (!text)
    return ToolError{
        path, "main set: the install script " + std::string(kScriptName) + " cannot be unpacked"};
  package.script_text = std::move(*text);
  package.read_text = [installer = installer.get()](const PackagedFile& file) {
    return installer->Read(file.stored_name);
  };
  keeper = installer;
  return std::nullopt;
}

}  // namespace omnipack

#include "shell/run/run_installation.h"

#include <string_view>
#include <utility>

#include "base/path.h"
#include "log/folder_chain.h"
#include "log/messages.h"
#include "package/extraction.h"
#include "package/signature.h"
#include "package/temp_folder.h"
#include "platform/com.h"
#include "platform/filesystem.h"
#include "script/interpreter.h"
#include "script/script_loader.h"
#include "shell/run/command_handlers.h"

namespace shell {
namespace {

constexpr std::string_view kScriptName = "ORQSCRIP.OSC";

Status RunScript(const InstallationRun& run, package::PackageFile& set,
                 const std::string& package_folder) {
  run.reporter.ReportProgress(message::kUncompressingFile, kScriptName);
  run.reporter.LogMessage(message::kRetrievingFile, kScriptName);
  if (const Status extracted = package::ExtractEntry(set, package_folder, kScriptName);
      extracted != status::kOk) {
    return extracted;
  }
  std::string script_path = package_folder;
  if (!base::JoinPath(script_path, base::kPathCapacity, kScriptName) ||
      !platform::IsFile(script_path)) {
    return status::kOk;  // a package without a script has nothing to run
  }

  const platform::ComScope com;
  script::LoadedScript loaded =
      script::LoadScript(script_path, package_folder,
                         {run.reporter, run.state, CommandHandlers(), &set, &run.descriptor});
  Status result = loaded.status;
  if (result == status::kOk)
    result = script::RunThisPackage(*loaded.context);
  if (result == status::kOk)
    result = script::RunMain(*loaded.context);
  return result;
}

Status ExtractEverything(const InstallationRun& run, package::PackageFile& set) {
  std::string target = run.extract_target;
  if (target.empty()) {
    target = run.installer_path;
    base::StripFileName(target);
  } else if (!logging::MakeFolderChain(target)) {
    return status::kWorkDirFailed;
  }
  run.reporter.LogMessage(message::kExtractingAll, target);
  return package::ExtractAllEntries(set, target);
}

// Steps 3 to 7: the main set is read in place, through a window that holds the installer open
// (shared for reading only, so nobody can change it meanwhile); its signature is checked over
// the same bytes that are read afterwards. package_folder receives the run's folder once made.
Status RunFromInstaller(const InstallationRun& run, platform::File installer,
                        std::string& package_folder) {
  package::PackageFile set;
  if (const Status opened = package::OpenInstallerSet(std::move(installer), run.descriptor,
                                                      package::PackageSet::kMain, set);
      opened != status::kOk) {
    return opened;
  }

  run.reporter.ReportProgress(message::kSelfValidation, {});
  run.reporter.LogMessage(message::kSelfValidation, {});
  if (package::VerifySetSignature(set) != status::kOk) {
    run.reporter.LogMessage(message::kSignatureFailed, {});
    return status::kSignatureFailed;
  }
  if (run.extract_only)
    return ExtractEverything(run, set);
  if (!package::CreateTempFolder(platform::TempDirectory(), package_folder, base::kPathCapacity))
    return status::kTempFileFailed;
  return RunScript(run, set, package_folder);
}

}  // namespace

Status RunInstallation(const InstallationRun& run) {
  std::string package_folder;
  Status result = status::kInstallerOpenFailed;
  platform::File installer =
      platform::File::OpenExisting(run.installer_path, platform::OpenMode::kReadShareRead);
  if (installer.IsOpen()) {
    run.reporter.ReportProgress(message::kExtractingFromStub, run.installer_path);
    run.reporter.LogMessage(message::kExtractingFromStub, run.installer_path);
    result = RunFromInstaller(run, std::move(installer), package_folder);
  }

  run.reporter.ReportProgress(message::kRemovingTemporary, {});
  if (!package_folder.empty()) {
    run.reporter.LogMessage(message::kDeleting, package_folder);
    package::RemoveTempFolder(package_folder);
  }
  return result;
}

}  // namespace shell

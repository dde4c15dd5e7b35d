#include "shell/run/run_installation.h"

#include <string_view>

#include "base/path.h"
#include "log/folder_chain.h"
#include "log/messages.h"
#include "log/percent_progress.h"
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

// What one run made and must remove again.
struct Scratch {
  std::string set_path;
  std::string package_folder;
};

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

// Steps 3 to 7: everything that needs the open installer file.
Status RunFromInstaller(const InstallationRun& run, platform::File& installer, Scratch& scratch) {
  Status result = package::CopySetToTempFile(
      installer, run.descriptor, package::PackageSet::kMain, scratch.set_path,
      logging::PercentProgress(run.reporter, message::kExtractingFromStub, run.installer_path));
  if (result != status::kOk)
    return result;

  run.reporter.ReportProgress(message::kSelfValidation, {});
  run.reporter.LogMessage(message::kSelfValidation, {});
  if (package::VerifySetSignature(scratch.set_path) != status::kOk) {
    run.reporter.LogMessage(message::kSignatureFailed, {});
    return status::kSignatureFailed;
  }
  if (!run.extract_only &&
      !package::CreateTempFolder(scratch.set_path, scratch.package_folder, base::kPathCapacity)) {
    return status::kTempFileFailed;
  }
  package::PackageFile set = package::OpenPackageFile(scratch.set_path);
  if (!set.IsOpen())
    return status::kPackageOpenFailed;
  result =
      run.extract_only ? ExtractEverything(run, set) : RunScript(run, set, scratch.package_folder);
  package::ClosePackageFile(set);
  return result;
}

}  // namespace

Status RunInstallation(const InstallationRun& run) {
  Scratch scratch;
  Status result = status::kInstallerOpenFailed;
  platform::File installer =
      platform::File::OpenExisting(run.installer_path, platform::OpenMode::kReadShareRead);
  if (installer.IsOpen()) {
    run.reporter.ReportProgress(message::kExtractingFromStub, run.installer_path);
    run.reporter.LogMessage(message::kExtractingFromStub, run.installer_path);
    result = RunFromInstaller(run, installer, scratch);
    installer.Close();
  }

  run.reporter.ReportProgress(message::kRemovingTemporary, {});
  if (!scratch.set_path.empty()) {
    run.reporter.LogMessage(message::kDeleting, scratch.set_path);
    platform::RemoveFile(scratch.set_path);
  }
  if (!scratch.package_folder.empty()) {
    run.reporter.LogMessage(message::kDeleting, scratch.package_folder);
    package::RemoveTempFolder(scratch.package_folder);
  }
  return result;
}

}  // namespace shell

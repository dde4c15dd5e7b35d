// omnipack extract: unpacks one set of an installer exactly as the installer does.

#include <filesystem>
#include <string>
#include <system_error>

#include "commands.h"
#include "diagnostics.h"
#include "installer_image.h"
#include "package/extraction.h"
#include "package/signature.h"
#include "set_walker.h"

namespace omnipack {
namespace {

constexpr OptionRule kOptions[] = {
    {"--set", "", true, false},
    {"--output", "-o", true, false},
};

constexpr std::string_view kHelp =
    "usage: omnipack extract [--set main|lang] FILE -o DIR\n"
    "\n"
    "Unpacks one set of an installer into DIR (created when missing) with the installer's own\n"
    "reader: the set is copied out, its signature checked, and every entry decoded, data files\n"
    "unscrambled and time stamps set.\n"
    "\n"
    "  --set main|lang   which set (default: main)\n"
    "  -o, --output DIR  the folder to unpack into\n";

int RunExtract(const ParsedArgs& args) {
  const std::string& path = args.positionals()[0];
  const std::optional<std::string> folder = args.Value("--output");
  if (!folder)
    return UsageError("extract", "missing -o DIR");
  const std::string set_name = args.Value("--set").value_or("main");
  if (set_name != "main" && set_name != "lang") {
    return UsageError("extract", "--set takes main or lang, not '" + set_name + "'");
  }
  const package::PackageSet set =
      set_name == "main" ? package::PackageSet::kMain : package::PackageSet::kLanguage;
  const std::string label(SetLabel(set));

  InstallerImage image;
  if (auto error = OpenInstaller(path, image)) {
    PrintError(*error);
    return kExitFailure;
  }
  if (image.trailer_status == status::kBadPackage) {
    PrintError({path, "no package marker at its end: not an installer"});
    return kExitFailure;
  }
  const LoadedSet loaded = LoadSet(image, set);
  if (loaded.status != status::kOk) {
    PrintError({path, label + ": " + SetLoadProblem(loaded.status)});
    return kExitFailure;
  }
  package::PackageFile file = package::OpenPackageFile(loaded.copy.path());
  if (!file.IsOpen()) {
    PrintError({path, label + ": " + SetLoadProblem(status::kOpenFailed)});
    return kExitFailure;
  }
  if (package::VerifySetSignature(file) != status::kOk) {
    PrintError({path, label + ": its signature does not match; nothing extracted"});
    return kExitFailure;
  }

  // Extraction creates the folders along each entry's path only below the root part of an
  // absolute path, so it is handed one.
  std::error_code error;
  std::filesystem::create_directories(*folder, error);
  const std::string destination = std::filesystem::absolute(*folder, error).string();
  if (error || !std::filesystem::is_directory(destination, error)) {
    PrintError({*folder, "cannot be created"});
    return kExitFailure;
  }
  std::string failed_entry;
  const Status extracted = package::ExtractAllEntries(file, destination, &failed_entry);
  if (extracted == status::kSignatureFailed) {
    PrintError({path, label + ": entry " + failed_entry + ": " +
                          std::string(DecodeProblem(extracted)) + "; extraction into " + *folder +
                          " stopped there"});
    return kExitFailure;
  }
  if (extracted != status::kOk) {
    PrintError(
        {path, label + ": extraction into " + *folder + " failed" +
                   (failed_entry.empty() ? "" : " at entry " + failed_entry) +
                   " (an entry does not decode, or its path leaves the folder, names a device "
                   "or passes 259 characters; 'omnipack verify' tells more)"});
    return kExitFailure;
  }
  return kExitSuccess;
}

}  // namespace

const Command& ExtractCommand() {
  static const Command command{"extract", "unpack one set of an installer", kHelp, kOptions, 1, 1,
                               RunExtract};
  return command;
}

}  // namespace omnipack

#include "shell/options/run_options.h"

#include "base/path.h"
#include "platform/filesystem.h"
#include "platform/profile.h"

namespace shell {
namespace {

constexpr char kSetupIssName[] = "SETUP.ISS";
constexpr char kSetupIssSection[] = "OmniPackOptions";

}  // namespace

RunOptions ReadRunOptions(const ParsedCommandLine& parsed, const std::string& installer_path) {
  RunOptions options;
  options.prompt = HasOption(parsed, kOptionPrompt);
  options.restart = HasOption(parsed, kOptionReboot);
  options.log_path = GetOptionValue(parsed, kOptionLogFile);
  options.no_change = HasOption(parsed, kOptionNoChange);
  if (HasOption(parsed, kOptionExtract)) {
    options.extract_only = true;
    options.extract_target = GetOptionValue(parsed, kOptionExtract).value_or("");
  }
  options.silent = RequestsSilence(parsed);
  if (options.silent && !HasOption(parsed, kOptionSilent))
    ReadSetupIss(installer_path, options);
  return options;
}

bool ReadSetupIss(const std::string& installer_path, RunOptions& options) {
  std::string path = installer_path;
  base::StripFileName(path);
  base::JoinPath(path, base::kPathCapacity, kSetupIssName);
  if (!platform::IsFile(path))
    return false;
  if (platform::ReadProfileInt(kSetupIssSection, "bReboot", 0, path) != 0)
    options.restart = true;
  if (platform::ReadProfileInt(kSetupIssSection, "bPrompt", 0, path) != 0)
    options.prompt = true;
  std::string log_path =
      platform::ReadProfileString(kSetupIssSection, "szLogFile", "", path, base::kPathCapacity);
  if (!log_path.empty())
    options.log_path = std::move(log_path);
  return true;
}

}  // namespace shell

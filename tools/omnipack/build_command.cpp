// omnipack build: a folder of files and an install script (and the language libraries) become a
// finished installer.

#include <algorithm>
#include <charconv>
#include <iostream>
#include <string>
#include <vector>

#include "base/ascii_case.h"
#include "check_input.h"
#include "commands.h"
#include "diagnostics.h"
#include "finding_writer.h"
#include "name_rules.h"
#include "package/file_time.h"
#include "package/format.h"
#include "package_writer.h"
#include "platform/filesystem.h"
#include "progress.h"
#include "source_folder.h"
#include "stored_names.h"
#include "tool_location.h"

namespace omnipack {
namespace {

constexpr unsigned kMaxExcludedGroups = 7;

constexpr OptionRule kOptions[] = {
    {"--main", "", true, false},           {"--lang", "", true, false},
    {"--stub", "", true, false},           {"--nt-only", "", false, false},
    {"--exclude-groups", "", true, false}, {"--no-record", "", true, true},
    {"--no-check", "", false, false},      {"--output", "-o", true, false},
};

constexpr std::string_view kHelp =
    "usage: omnipack build --main DIR [--lang DIR] [--stub FILE] [--nt-only]\n"
    "                      [--exclude-groups N] [--no-record NAME]... [--no-check] -o OUT\n"
    "\n"
    "Builds a finished installer: the stub followed by a package of two sets, the language\n"
    "libraries and the main set (the install script and the files it installs).\n"
    "\n"
    "  --main DIR            files of the main set; must hold ORQSCRIP.OSC. Files in subfolders\n"
    "                        are stored as SUB\\NAME\n"
    "  --lang DIR            language libraries (default: <omnipack>/../win32/lang)\n"
    "  --stub FILE           the installer without a package\n"
    "                        (default: <omnipack>/../win32/installer.exe)\n"
    "  --nt-only             the package refuses to run on the 9x family\n"
    "  --exclude-groups N    N (0-7) excludes the file groups tested by ISVALIDFILTER\n"
    "  --no-record NAME      no directory record for the main-set file NAME, as stored\n"
    "                        (SUB\\NAME or SUB/NAME, case ignored); repeatable. Every other\n"
    "                        main-set file gets one\n"
    "  --no-check            build even when the check of the install script finds errors\n"
    "  -o, --output OUT      the installer to write\n"
    "\n"
    "Time stamps are the files' modification times (local time); DETECT.DAT, REPAIR.DAT and\n"
    "TITLES.DAT are stored scrambled. The same files and times give the same installer, byte for\n"
    "byte. Files the installer could not give back as they are (empty files, names too long,\n"
    "names ending in \"tmp\", device names such as CON or COM1, names equal but for case, ...)\n"
    "are refused.\n"
    "\n"
    "Before anything is written the install script is checked as 'omnipack check' does: its\n"
    "warnings are printed, its errors are printed and stop the build.\n";

bool ParseGroups(const std::string& text, unsigned& groups) {
  const char* end = text.data() + text.size();
  const auto [next, error] = std::from_chars(text.data(), end, groups);
  return error == std::errc() && next == end && groups <= kMaxExcludedGroups;
}

// Stored names use "\"; a name given on the command line may use either separator.
std::string AsStoredName(std::string name) {
  std::replace(name.begin(), name.end(), '/', '\\');
  return name;
}

bool ResolveStub(const ParsedArgs& args, std::string& stub) {
  const std::optional<std::string> given = args.Value("--stub");
  stub = given ? *given : DefaultStubPath();
  if (platform::IsFile(stub))
    return true;
  PrintError({stub, given ? "stub not found"
                          : "default stub not found; name the installer stub with --stub FILE"});
  return false;
}

// The language folder: the one given, or the default beside the tool. An installer without
// language libraries cannot start, so a missing folder is an error either way.
bool ResolveLanguageFolder(const ParsedArgs& args, std::string& folder) {
  const std::optional<std::string> given = args.Value("--lang");
  folder = given ? *given : DefaultLanguageFolder();
  if (platform::IsFolder(folder))
    return true;
  PrintError({folder, given ? "language folder not found"
                            : "default language folder not found; name one with --lang DIR"});
  return false;
}

// Marks the main-set files that get a directory record; a --no-record name that matches no file
// is a problem, since a misspelt name would otherwise leave its record in silently.
void AssignRecords(const ParsedArgs& args, std::vector<PackEntry>& entries,
                   std::vector<ToolError>& problems) {
  for (PackEntry& entry : entries)
    entry.has_record = true;
  for (const std::string& name : args.Values("--no-record")) {
    const std::string stored = AsStoredName(name);
    bool found = false;
    for (PackEntry& entry : entries) {
      if (base::EqualsIgnoringCase(entry.stored_name, stored)) {
        entry.has_record = false;
        found = true;
      }
    }
    if (!found)
      problems.push_back({name, "--no-record names no file of the main folder"});
  }
}

void ReadTimeStamps(std::vector<PackEntry>& entries, std::vector<ToolError>& problems) {
  for (PackEntry& entry : entries) {
    if (!package::GetFileTimeStamp(entry.source_path, entry.time)) {
      problems.push_back({entry.source_path, "its modification time cannot be read"});
    }
  }
}

bool HasScript(const std::vector<PackEntry>& entries) {
  return std::any_of(entries.begin(), entries.end(), [](const PackEntry& entry) {
    return base::EqualsIgnoringCase(entry.stored_name, kScriptName);
  });
}

// Reads both folders into input; every file that cannot be packed is reported, not only the
// first.
bool GatherEntries(const ParsedArgs& args, const std::string& main_folder,
                   const std::string& language_folder, PackageInput& input) {
  std::vector<ToolError> problems;
  if (auto error = CollectFolder(main_folder, input.main_entries, problems)) {
    PrintError(*error);
    return false;
  }
  if (!HasScript(input.main_entries)) {
    problems.push_back({main_folder, "no install script " + std::string(kScriptName)});
  }
  AssignRecords(args, input.main_entries, problems);
  if (auto error = CollectFolder(language_folder, input.language_entries, problems)) {
    PrintError(*error);
    return false;
  }
  // A set of a signature record alone cannot be verified, so the installer would refuse it.
  if (input.language_entries.empty())
    problems.push_back({language_folder, "holds no language library"});
  for (std::vector<PackEntry>* entries : {&input.main_entries, &input.language_entries}) {
    const std::vector<ToolError> refusals = CheckSetEntries(*entries);
    problems.insert(problems.end(), refusals.begin(), refusals.end());
    ReadTimeStamps(*entries, problems);
  }
  for (const ToolError& problem : problems)
    PrintError(problem);
  return problems.empty();
}

// The check of the install script against the files as they will be packed. Every finding goes
// to stderr; false when it found errors and the build is not told to go on.
bool PassesCheck(const ParsedArgs& args, const std::string& main_folder,
                 const PackageInput& input) {
  CheckedPackage package;
  if (auto error = PackageOfEntries(main_folder, input.main_entries, package)) {
    PrintError(*error);
    return false;
  }
  const std::vector<Finding> findings = CheckScript(package);
  for (const Finding& finding : findings)
    std::cerr << FindingLine(finding) << '\n';
  if (!HasErrors(findings) || args.Has("--no-check"))
    return true;
  PrintError({package.script_label, "the check found " + FindingsSummary(findings) +
                                        "; nothing was built (--no-check builds anyway)"});
  return false;
}

int RunBuild(const ParsedArgs& args) {
  const std::optional<std::string> main_folder = args.Value("--main");
  const std::optional<std::string> out_path = args.Value("--output");
  if (!main_folder)
    return UsageError("build", "missing --main DIR");
  if (!out_path)
    return UsageError("build", "missing -o OUT");
  unsigned groups = 0;
  if (const auto text = args.Value("--exclude-groups"); text && !ParseGroups(*text, groups)) {
    return UsageError("build", "--exclude-groups takes a number from 0 to 7, not '" + *text + "'");
  }

  PackageInput input;
  input.flags = groups << 1;
  if (args.Has("--nt-only"))
    input.flags |= package::kNtOnlyFlag;
  std::string language_folder;
  if (!ResolveStub(args, input.stub_path) || !ResolveLanguageFolder(args, language_folder) ||
      !GatherEntries(args, *main_folder, language_folder, input) ||
      !PassesCheck(args, *main_folder, input)) {
    return kExitFailure;
  }

  ProgressLine progress;
  auto show = [&](const PackStep& step) {
    const std::uint64_t percent = step.bytes_total ? step.bytes_done * 100 / step.bytes_total : 0;
    progress.Show("packing " + std::string(step.set) + " set [" + std::to_string(step.index) + "/" +
                  std::to_string(step.count) + "] " + std::string(step.name) + " " +
                  std::to_string(percent) + "%");
  };
  const std::optional<ToolError> error = WritePackage(input, *out_path, show);
  progress.Clear();
  if (error) {
    PrintError(*error);
    return kExitFailure;
  }
  return kExitSuccess;
}

}  // namespace

const Command& BuildCommand() {
  static const Command command{
      "build", "build an installer from folders of files", kHelp, kOptions, 0, 0, RunBuild};
  return command;
}

}  // namespace omnipack

#include "script_check.h"

#include <algorithm>
#include <deque>
#include <span>
#include <unordered_map>
#include <utility>

#include "base/path.h"
#include "log/reporter.h"
#include "name_index.h"
#include "refused_folders.h"
#include "script/argument_forms.h"
#include "script/handler_table.h"
#include "script/include_globals.h"
#include "script/run_state.h"
#include "script/script_context.h"
#include "script/script_parser.h"
#include "script/wait_time.h"
#include "stored_names.h"

namespace omnipack {
namespace {

using script::CommandArguments;
using script::Opcode;
namespace opcode = script::opcode;

constexpr std::string_view kMainSection = "Main";
constexpr std::string_view kLoadSection = "ThisPackage";
// The variable the installer defines before the script runs.
constexpr std::string_view kNoChangeVariable = "g_NoChange";

// The parse reports nothing while it reads.
class SilentReporter final : public Reporter {
 public:
  void ReportProgress(MessageId, std::string_view) override {}
  void LogMessage(MessageId, std::string_view) override {}
  void LogText(std::string_view) override {}
};

std::string Quoted(std::string_view text) {
  std::string quoted(1, '\'');
  quoted.append(text);
  quoted += '\'';
  return quoted;
}

std::string KeywordOf(Opcode op) {
  return std::string(script::KeywordOf(op));
}

// Why an argument lacks its command's form, by the status the command gives for it.
std::string FormProblem(Opcode op, Status status) {
  switch (status) {
    case status::kNowhereToPutValue:
    case status::kNoVersion:
      return "no \"=\" in the argument";
    case status::kNowhereToGetValue:
      return "the value after \"=\" is too long";
    case status::kNoValueToSet:
      return op == opcode::kSetIniFileValue ? "no \"=\" after \"file, section, key\""
                                            : "a part of the argument is too long";
    case status::kNoFirstPart:
      return "no \",\" in the argument";
    case status::kNoSecondPart:
      return "no second \",\" in the argument";
    case status::kNoRegistryRoot:
      return "the key starts with no root (HKLM\\, HKCU\\ or HKLU\\)";
    case status::kValueNotFound:
      return "no \"=\" after the value name";
    case status::kSubkeyNotFound:
      return op == opcode::kCreateRegKey ? "no subkey to create after the key's \",\""
                                         : "no \",\" after the key";
    case status::kBadReturn:
      return "a condition without a left operand or a comparison";
    case status::kUnknownCommand:
      return op == opcode::kUnloadModule ? "the argument is not \"var = product\""
                                         : "the argument is not \"var = first, second\"";
    default:
      return "the argument does not have the command's form";
  }
}

// STARTORQAPPS guesses where an unquoted program path with blanks ends: at the first word that
// ends in ".exe", or at the longest part that names a program.
bool IsUnquotedPathWithBlanks(std::string_view command_line) {
  if (command_line.empty() || command_line.front() == '"')
    return false;
  std::size_t word_end = 0;
  while (word_end < command_line.size()) {
    word_end = command_line.find(' ', word_end);
    if (word_end == std::string_view::npos)
      return false;  // the program path is the whole line: no blank guessed past
    if (base::EndsWithIgnoringCase(command_line.substr(0, word_end), ".exe"))
      return command_line.substr(0, word_end).find(' ') != std::string_view::npos;
    ++word_end;
  }
  return false;
}

// What the walk knows of a variable's value at a point of the run; a text is a view of an
// argument of the script or of a globals file's line.
struct KnownValue {
  enum class Kind { kText, kWindowsFolder, kSystemFolder, kOther } kind = Kind::kOther;
  std::string_view text;
};

// A SET line of an INCLUDEGLOBALS file.
struct GlobalSetting {
  std::string name;
  std::string value;
};

constexpr std::uint32_t kNoSection = UINT32_MAX;

// A command that runs a section: CALL, CONTINUEIF or INSTALLFILES.
struct SectionCall {
  const script::ScriptCommand* command = nullptr;
  std::uint32_t target = 0;  // the section it runs, by index
};

struct CheckedSection {
  const script::ScriptSection* section = nullptr;
  bool first_of_name = false;
  std::vector<SectionCall> calls;  // in the order of its commands, once the walk has passed it
};

bool RunsSection(Opcode op) {
  return op == opcode::kCall || op == opcode::kContinueIf || op == opcode::kInstallFiles;
}

// The commands that fail with 6 while no SETWORKDIR has given the run a work directory: the four
// that install a file into it, RENAMEFILE, which renames within it, and REGISTER, which registers a
// library of it.
bool NeedsWorkDirectory(Opcode op) {
  return op == opcode::kFile || op == opcode::kCopyFileAs || op == opcode::kReplaceFile ||
         op == opcode::kReplaceFileAs || op == opcode::kRenameFile || op == opcode::kRegister;
}

class Checker {
 public:
  explicit Checker(const CheckedPackage& package)
      : package_(package), context_(script::ScriptEnvironment{reporter_, state_, handlers_}) {
    files_.Reserve(package.files.size());
    for (const PackagedFile& file : package.files)
      files_.Add(file.stored_name, file);
    used_files_.assign(package.files.size(), false);
  }

  std::vector<Finding> Run();

 private:
  void Add(std::string file, std::int32_t line, Severity severity, Status status,
           std::string text) {
    findings_.push_back({std::move(file), line, severity, std::move(text), status});
  }
  void Error(std::int32_t line, Status status, std::string text) {
    Add(package_.script_label, line, Severity::kError, status, std::move(text));
  }
  void Warning(std::int32_t line, std::string text) {
    Add(package_.script_label, line, Severity::kWarning, status::kOk, std::move(text));
  }

  void Parse();
  void IndexSections();
  void ReadGlobals(const script::ScriptCommand& include, std::string_view name);
  void CheckCommand(const CheckedSection& section, const script::ScriptCommand& command,
                    const CommandArguments& read, std::uint32_t target);
  void CheckPackageFile(const script::ScriptCommand& command, std::string_view name);
  void CheckInstallFilesSection(std::uint32_t target);
  void Walk();
  std::uint32_t WalkCommand(CheckedSection& section, const script::ScriptCommand& command,
                            bool runs);
  void CheckDeleteDirectory(const script::ScriptCommand& command, std::string_view operand);
  KnownValue Resolve(std::string_view operand) const;
  void CheckVariablesNeeded();
  void CheckSectionUse();
  void CheckCycles();
  void CheckUnusedFiles();

  const CheckedPackage& package_;
  SilentReporter reporter_;
  script::RunState state_;
  script::HandlerTable handlers_{std::span<const script::HandlerList>()};
  script::ScriptContext context_;
  NameIndex<PackagedFile> files_;
  std::vector<CheckedSection> sections_;
  std::unordered_map<const script::ScriptSection*, std::uint32_t> section_index_;
  // The SET lines of the globals files the load reads; values_ holds views of them, which a deque
  // keeps in place.
  std::deque<GlobalSetting> globals_;
  std::vector<bool> used_files_;             // by index in package_.files
  std::vector<bool> install_files_targets_;  // by index in sections_
  // The walk in run order: the sections it has entered, what it knows of each variable set so
  // far (every one, once it is done), whether a SETWORKDIR has run, and the commands that read a
  // variable no command had set by then, with its name.
  std::vector<bool> visited_;
  std::unordered_map<std::string_view, KnownValue> values_;
  bool work_directory_set_ = false;
  std::vector<std::pair<const script::ScriptCommand*, std::string_view>> read_unset_;
  std::vector<Finding> findings_;
};

void Checker::Parse() {
  const std::string_view text = package_.script_text;
  if (text.empty()) {
    Error(1, status::kEmptyFile, "the script is empty");
    return;
  }
  std::vector<script::ParseProblem> problems;
  if (script::ParseScript(context_, text, &problems) == status::kNoMemory)
    Error(context_.line, status::kNoMemory, "out of memory reading the script");
  for (const script::ParseProblem& problem : problems) {
    switch (problem.status) {
      case status::kUnknownCommand:
        Error(problem.line, problem.status, "unknown keyword " + Quoted(problem.keyword));
        break;
      case status::kLineTooLong:
        Error(
            problem.line, problem.status,
            "the argument passes " + std::to_string(script::kArgumentCapacity - 1) + " characters");
        break;
      case status::kSectionNotFound:
        Error(problem.line, problem.status, "a command before the first section");
        break;
      default:
        Error(problem.line, problem.status, "the line cannot be read");
        break;
    }
  }
  if (context_.sections.Find(kMainSection) == nullptr)
    Error(1, status::kMainNotFound, "no section [Main]");
}

void Checker::IndexSections() {
  sections_.reserve(context_.sections.Count());
  for (const script::ScriptSection& section : context_.sections) {
    section_index_.emplace(&section, static_cast<std::uint32_t>(sections_.size()));
    CheckedSection& checked = sections_.emplace_back();
    checked.section = &section;
    checked.first_of_name = context_.sections.Find(section.name) == &section;
  }
  install_files_targets_.assign(sections_.size(), false);
  visited_.assign(sections_.size(), false);
}

// The globals file's SET lines as the installer reads them; its lines are counted here, so that
// a finding names the line to change. What they set is known from here on.
void Checker::ReadGlobals(const script::ScriptCommand& include, std::string_view name) {
  const PackagedFile* file = base::IsContainedRelativePath(name) ? files_.Find(name) : nullptr;
  if (file == nullptr)
    return;  // the command's own check names the missing file
  const std::optional<std::string> text = package_.read_text(*file);
  if (!text) {
    Add(file->label, 1, Severity::kError, status::kReadFailed, "the globals file cannot be read");
    return;
  }
  if (text->empty()) {
    Add(file->label, 1, Severity::kError, status::kEmptyFile, "the globals file is empty");
    return;
  }
  std::int32_t line = 1;
  std::size_t counted = 0;
  const auto line_of = [&](std::size_t offset) {
    line += static_cast<std::int32_t>(
        std::count(text->begin() + static_cast<std::ptrdiff_t>(counted),
                   text->begin() + static_cast<std::ptrdiff_t>(offset), '\n'));
    counted = offset;
    return line;
  };
  std::size_t failed_at = 0;
  std::string keyword;
  const Status result = script::ReadGlobalsText(
      *text, include.line, keyword,
      [&](const script::ScriptCommand& set, std::size_t offset) {
        const CommandArguments read = script::ReadArguments(set.opcode, set.argument);
        if (read.form_status != status::kOk) {
          Add(file->label, line_of(offset), Severity::kError, read.form_status,
              "SET: " + FormProblem(set.opcode, read.form_status));
          return read.form_status;
        }
        const GlobalSetting& setting =
            globals_.emplace_back(std::string(*read.sets), std::string(*read.operand));
        values_[setting.name] = Resolve(setting.value);
        return status::kOk;
      },
      &failed_at);
  if (result == status::kUnknownCommand) {
    Add(file->label, line_of(failed_at), Severity::kError, result,
        "only SET lines may stand in a globals file, not " + Quoted(keyword));
  } else if (result == status::kLineTooLong) {
    Add(file->label, line_of(failed_at), Severity::kError, result,
        "a line passes " + std::to_string(script::kArgumentCapacity - 1) + " characters");
  }
}

void Checker::CheckPackageFile(const script::ScriptCommand& command, std::string_view name) {
  const PackagedFile* file = base::IsContainedRelativePath(name) ? files_.Find(name) : nullptr;
  if (file == nullptr) {
    Error(
        command.line, status::kExtractFailed,
        KeywordOf(command.opcode) + " needs " + Quoted(name) + ", which the package does not hold");
    return;
  }
  used_files_[static_cast<std::size_t>(file - package_.files.data())] = true;
  if (!file->has_record) {
    Warning(command.line, KeywordOf(command.opcode) + " fetches " + Quoted(name) +
                              ", which has no directory record: the installer refuses it (42)");
  }
}

void Checker::CheckInstallFilesSection(std::uint32_t target) {
  if (install_files_targets_[target])
    return;
  install_files_targets_[target] = true;
  const script::ScriptSection& section = *sections_[target].section;
  for (const script::ScriptCommand& command : section.commands) {
    if (command.opcode != opcode::kFile && command.opcode != opcode::kCopyFileAs) {
      Error(command.line, status::kNotFileCommand,
            KeywordOf(command.opcode) + " in [" + section.name +
                "], which INSTALLFILES runs: only FILE and COPYFILEAS may stand there");
    }
  }
}

// What the command's own text and the package tell, wherever the command stands.
void Checker::CheckCommand(const CheckedSection& section, const script::ScriptCommand& command,
                           const CommandArguments& read, std::uint32_t target) {
  const Opcode op = command.opcode;
  if (read.form_status != status::kOk)
    Error(command.line, read.form_status, KeywordOf(op) + ": " + FormProblem(op, read.form_status));
  if (op == opcode::kIncludeGlobals && section.section->name != kLoadSection) {
    Error(command.line, status::kUnknownCommand, "INCLUDEGLOBALS runs only in [ThisPackage]");
    return;
  }
  if (op == opcode::kGetOrqIniPath) {
    Error(command.line, status::kNoConsoleIniPath,
          "GETORQINIPATH always fails: the installer never locates the console's INI file");
  }
  if (RunsSection(op)) {
    if (target == kNoSection) {
      Error(command.line, status::kSectionNotFound,
            KeywordOf(op) + " names no section [" + std::string(read.section) + "]");
    } else if (op == opcode::kInstallFiles) {
      CheckInstallFilesSection(target);
    }
  }
  read.package_files.ForEach([&](std::string_view name) { CheckPackageFile(command, name); });
  if (read.names_root_key)
    Error(command.line, status::kOk, KeywordOf(op) + " acts on a root key itself");
  read.programs.ForEach([&](std::string_view program) {
    if (IsUnquotedPathWithBlanks(program)) {
      Warning(command.line, "STARTORQAPPS: the program path in " + Quoted(program) +
                                " holds blanks and is not quoted");
    }
  });
}

KnownValue Checker::Resolve(std::string_view operand) const {
  const auto known = values_.find(operand);
  if (known != values_.end())
    return known->second;
  return {KnownValue::Kind::kText, operand};
}

void Checker::CheckDeleteDirectory(const script::ScriptCommand& command, std::string_view operand) {
  const KnownValue folder = Resolve(operand);
  std::string what;
  switch (folder.kind == KnownValue::Kind::kText ? RefusedFolderOf(folder.text)
                                                 : RefusedFolder::kNone) {
    case RefusedFolder::kRoot:
      what = "the root " + Quoted(folder.text);
      break;
    case RefusedFolder::kWindowsFolder:
      what =
          Quoted(folder.text) + ", the Windows folder of a system installed in its default place";
      break;
    case RefusedFolder::kSystemFolder:
      what = Quoted(folder.text) +
             ", the system folder of an NT-family system installed in its default place";
      break;
    case RefusedFolder::kNone:
      if (folder.kind == KnownValue::Kind::kWindowsFolder)
        what = "the Windows folder";
      else if (folder.kind == KnownValue::Kind::kSystemFolder)
        what = "the system folder";
      break;
  }
  if (!what.empty()) {
    Error(command.line, status::kDeleteFailed,
          "DELETEDIRECTORY of " + what + ": the installer refuses it");
  }
}

// One command in run order, its argument read by its form: what it reads must be set by then,
// what it sets is known after it. A command that needs a work directory fails without one, in a
// section that the run reaches (runs). Returns the section the command enters: the one it runs,
// at its first call; kNoSection otherwise.
std::uint32_t Checker::WalkCommand(CheckedSection& section, const script::ScriptCommand& command,
                                   bool runs) {
  const CommandArguments read = script::ReadArguments(command.opcode, command.argument);
  std::uint32_t target = kNoSection;
  if (RunsSection(command.opcode)) {
    if (const script::ScriptSection* found = context_.sections.Find(read.section)) {
      target = section_index_.at(found);
      section.calls.push_back({&command, target});
    }
  }
  CheckCommand(section, command, read, target);
  if (read.needs && !values_.contains(*read.needs))
    read_unset_.emplace_back(&command, *read.needs);
  if (runs && NeedsWorkDirectory(command.opcode) && !work_directory_set_) {
    Error(command.line, status::kWorkDirFailed,
          KeywordOf(command.opcode) + " runs before any SETWORKDIR has set the folder it works in");
  }
  if (command.opcode == opcode::kSetWorkDir)
    work_directory_set_ = true;
  if (command.opcode == opcode::kDeleteDirectory && read.operand)
    CheckDeleteDirectory(command, *read.operand);
  if (command.opcode == opcode::kWaitForTime && read.operand) {
    const KnownValue count = Resolve(*read.operand);
    if (count.kind == KnownValue::Kind::kText && script::WaitTimeOf(count.text).cut) {
      Warning(command.line, "WAITFORTIME " + std::string(count.text) + " is longer than " +
                                std::to_string(script::kLongestWaitMilliseconds) +
                                " ms: the wait is cut to that");
    }
  }
  if (read.sets) {
    KnownValue value;
    if (command.opcode == opcode::kGetWindowsDir)
      value.kind = KnownValue::Kind::kWindowsFolder;
    else if (command.opcode == opcode::kGetSystemDir)
      value.kind = KnownValue::Kind::kSystemFolder;
    else if (command.opcode == opcode::kSet && read.operand)
      value = Resolve(*read.operand);
    values_[*read.sets] = value;
  }
  if (command.opcode == opcode::kIncludeGlobals && section.section->name == kLoadSection &&
      section.first_of_name) {
    read.package_files.ForEach([&](std::string_view name) { ReadGlobals(command, name); });
  }
  if (target == kNoSection || visited_[target])
    return kNoSection;
  visited_[target] = true;
  return target;
}

// Follows the run: ThisPackage, then Main and every section it calls, each at its first call;
// then the sections that nothing reached, in file order. Every command is taken once.
void Checker::Walk() {
  values_.emplace(kNoChangeVariable, KnownValue{});   // the installer sets it before the run
  std::vector<std::pair<std::uint32_t, bool>> roots;  // and whether the run takes it
  for (std::string_view name : {kLoadSection, kMainSection}) {
    if (const script::ScriptSection* section = context_.sections.Find(name))
      roots.emplace_back(section_index_.at(section), true);
  }
  for (std::uint32_t i = 0; i < sections_.size(); ++i)
    roots.emplace_back(i, false);
  using Command = decltype(std::declval<const script::ScriptSection&>().commands.begin());
  for (const auto& [root, runs] : roots) {
    if (visited_[root])
      continue;
    visited_[root] = true;
    // Each frame is a section and the next of its commands to take.
    std::vector<std::pair<std::uint32_t, Command>> frames{
        {root, sections_[root].section->commands.begin()}};
    while (!frames.empty()) {
      auto& [at, next] = frames.back();
      CheckedSection& section = sections_[at];
      if (next == section.section->commands.end()) {
        frames.pop_back();
        continue;
      }
      const script::ScriptCommand& command = *next++;
      if (const std::uint32_t entered = WalkCommand(section, command, runs); entered != kNoSection)
        frames.emplace_back(entered, sections_[entered].section->commands.begin());
    }
  }
}

// Once the walk is done, every variable any command or globals file sets is known: one read
// before it was set is read too early, one that nothing sets fails the command.
void Checker::CheckVariablesNeeded() {
  for (const auto& [command, variable] : read_unset_) {
    if (values_.contains(variable)) {
      Warning(command->line, KeywordOf(command->opcode) + " reads " + Quoted(variable) +
                                 " before any command sets it");
    } else {
      Error(command->line, status::kSymbolNotFound,
            KeywordOf(command->opcode) + " needs the variable " + Quoted(variable) +
                ", which no command sets");
    }
  }
}

void Checker::CheckSectionUse() {
  std::vector<bool> called(sections_.size(), false);
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    // A section that only calls itself is never reached either.
    for (const SectionCall& call : sections_[i].calls) {
      if (call.target != i)
        called[call.target] = true;
    }
  }
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    const CheckedSection& section = sections_[i];
    const std::string& name = section.section->name;
    if (!section.first_of_name) {
      Warning(section.section->line,
              "a second section [" + name + "]: every call runs the first, this one never runs");
    } else if (name != kMainSection && name != kLoadSection && !called[i]) {
      Warning(section.section->line, "nothing calls the section [" + name + "]");
    }
  }
}

// A depth-first walk over the calls; a call to a section still on the walk's path closes a cycle.
void Checker::CheckCycles() {
  enum class Mark { kNew, kOnPath, kDone };
  std::vector<Mark> marks(sections_.size(), Mark::kNew);
  for (std::size_t root = 0; root < sections_.size(); ++root) {
    if (marks[root] != Mark::kNew)
      continue;
    std::vector<std::pair<std::size_t, std::size_t>> path{{root, 0}};
    marks[root] = Mark::kOnPath;
    while (!path.empty()) {
      auto& [section, next] = path.back();
      if (next == sections_[section].calls.size()) {
        marks[section] = Mark::kDone;
        path.pop_back();
        continue;
      }
      const SectionCall& call = sections_[section].calls[next++];
      if (marks[call.target] == Mark::kNew) {
        marks[call.target] = Mark::kOnPath;
        path.emplace_back(call.target, 0);
      } else if (marks[call.target] == Mark::kOnPath) {
        std::string cycle;
        bool in_cycle = false;
        for (const auto& frame : path) {
          in_cycle = in_cycle || frame.first == call.target;
          if (in_cycle)
            cycle += sections_[frame.first].section->name + " -> ";
        }
        Warning(call.command->line,
                "sections call each other in a cycle (" + cycle +
                    sections_[call.target].section->name +
                    "): the run stops them with 3 when they nest 64 deep or start 100,000 times");
      }
    }
  }
}

void Checker::CheckUnusedFiles() {
  for (const PackagedFile& file : package_.files) {
    if (files_.Find(file.stored_name) == &file &&
        !used_files_[static_cast<std::size_t>(&file - package_.files.data())] &&
        !base::EqualsIgnoringCase(file.stored_name, kScriptName)) {
      Add(file.label, 1, Severity::kWarning, status::kOk,
          "no command of the script uses this file");
    }
  }
}

std::vector<Finding> Checker::Run() {
  Parse();
  IndexSections();
  Walk();
  CheckVariablesNeeded();
  CheckSectionUse();
  CheckCycles();
  CheckUnusedFiles();
  // The script's findings by line, then those of the other files.
  std::stable_sort(findings_.begin(), findings_.end(), [&](const Finding& a, const Finding& b) {
    const bool a_other = a.file != package_.script_label;
    const bool b_other = b.file != package_.script_label;
    return std::tie(a_other, a.file, a.line) < std::tie(b_other, b.file, b.line);
  });
  return std::move(findings_);
}

}  // namespace

std::vector<Finding> CheckScript(const CheckedPackage& package) {
  return Checker(package).Run();
}

}  // namespace omnipack

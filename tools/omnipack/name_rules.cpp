#include "name_rules.h"

#include <algorithm>
#include <utility>

#include "base/ascii_case.h"
#include "base/path.h"
#include "package/data_file.h"
#include "package/format.h"

namespace omnipack {
namespace {

constexpr std::size_t kMaxEntryName = package::kEntryNameField - 1;
constexpr std::size_t kMaxRecordName = package::kDirectoryNameField - 1;
constexpr std::uint64_t kMaxFileSize = 0xFFFFFFFFu;

std::string FoldedName(std::string_view name) {
  std::string folded(name);
  std::transform(folded.begin(), folded.end(), folded.begin(), base::FoldAsciiCase);
  return folded;
}

}  // namespace

std::vector<std::string> EntryProblems(const EntryFacts& facts) {
  const std::string name(facts.name);
  const std::string length = std::to_string(name.size());
  std::vector<std::string> problems;
  if (facts.size == 0)
    problems.push_back("empty file: a size word of 0 cannot be decoded");
  if (facts.size > kMaxFileSize)
    problems.push_back("larger than 4 GiB - 1, the most a size word holds");
  if (name.size() > kMaxEntryName) {
    problems.push_back("name of " + length +
                       " characters is too long for the entry header (at most " +
                       std::to_string(kMaxEntryName) + ")");
  } else if (facts.has_record && name.size() > kMaxRecordName) {
    problems.push_back("name of " + length +
                       " characters is too long for the directory record (at most " +
                       std::to_string(kMaxRecordName) + "; --no-record leaves the record out)");
  }
  // Installers in the field decode through NAME with its last three characters replaced by "tmp".
  if (base::EndsWithIgnoringCase(name, "tmp"))
    problems.push_back(
        "name ends in \"tmp\": older installers would use the file as its own scratch file");
  if (!base::IsContainedRelativePath(name))
    problems.push_back("name \"" + name + "\" would leave the folder it is unpacked into");
  // Windows would open the device instead of a file, so the installer refuses the entry.
  if (base::NamesDevice(name))
    problems.push_back("name \"" + name + "\" names a device (CON, NUL, COM1, ...) on Windows");
  if (package::IsDefinitionDataFile(name) && facts.size > 0 &&
      facts.size < package::kDataFileHeaderSize) {
    problems.push_back("data file shorter than " + std::to_string(package::kDataFileHeaderSize) +
                       " bytes: the installer pads it, so it would not come back as it is");
  }
  return problems;
}

// Files with the same name but for case would overwrite each other on the target system.
std::vector<CaseClash> CaseClashes(std::span<const std::string> names) {
  std::vector<std::pair<std::string, std::size_t>> folded;
  folded.reserve(names.size());
  for (std::size_t i = 0; i < names.size(); ++i)
    folded.emplace_back(FoldedName(names[i]), i);
  std::stable_sort(folded.begin(), folded.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<CaseClash> clashes;
  for (std::size_t i = 1; i < folded.size(); ++i) {
    if (folded[i].first == folded[i - 1].first)
      clashes.push_back({folded[i].second, folded[i - 1].second});
  }
  return clashes;
}

std::string CaseClashReason(std::string_view name, std::string_view earlier) {
  return "name \"" + std::string(name) + "\" equals \"" + std::string(earlier) + "\" but for case";
}

std::vector<ToolError> CheckSetEntries(std::span<const PackEntry> entries) {
  std::vector<ToolError> errors;
  std::vector<std::string> names;
  names.reserve(entries.size());
  for (const PackEntry& entry : entries) {
    for (std::string& reason : EntryProblems({entry.stored_name, entry.size, entry.has_record}))
      errors.push_back({entry.source_path, std::move(reason)});
    names.push_back(entry.stored_name);
  }
  for (const CaseClash& clash : CaseClashes(names)) {
    errors.push_back({entries[clash.later].source_path,
                      CaseClashReason(names[clash.later], names[clash.earlier])});
  }
  return errors;
}

}  // namespace omnipack

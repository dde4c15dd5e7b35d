#include "name_rules.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/ascii_case.h"
#include "base/path.h"
#include "package/data_file.h"
#include "package/format.h"
#include "stored_names.h"

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

void CheckOne(const PackEntry& entry, std::vector<ToolError>& errors) {
  const std::string& name = entry.stored_name;
  const std::string length = std::to_string(name.size());
  auto refuse = [&](std::string reason) {
    errors.push_back({entry.source_path, std::move(reason)});
  };
  if (entry.size == 0)
    refuse("empty file: a size word of 0 cannot be decoded");
  if (entry.size > kMaxFileSize)
    refuse("larger than 4 GiB - 1, the most a size word holds");
  if (name.size() > kMaxEntryName) {
    refuse("name of " + length + " characters is too long for the entry header (at most " +
           std::to_string(kMaxEntryName) + ")");
  } else if (entry.has_record && name.size() > kMaxRecordName) {
    refuse("name of " + length + " characters is too long for the directory record (at most " +
           std::to_string(kMaxRecordName) + "; --no-record leaves the record out)");
  }
  // Installers in the field decode through NAME with its last three characters replaced by "tmp".
  if (base::EndsWithIgnoringCase(name, "tmp")) {
    refuse("name ends in \"tmp\": older installers would use the file as its own scratch file");
  }
  if (!base::IsContainedRelativePath(name)) {
    refuse("name \"" + name + "\" would leave the folder it is unpacked into");
  }
  if (package::IsDefinitionDataFile(name) && entry.size > 0 &&
      entry.size < package::kDataFileHeaderSize) {
    refuse("data file shorter than " + std::to_string(package::kDataFileHeaderSize) +
           " bytes: the installer pads it, so it would not come back as it is");
  }
}

// Entries with the same name but for case would overwrite each other on the target system.
void CheckCaseClashes(std::span<const PackEntry> entries, std::vector<ToolError>& errors) {
  std::vector<std::pair<std::string, const PackEntry*>> folded;
  folded.reserve(entries.size());
  for (const PackEntry& entry : entries)
    folded.emplace_back(FoldedName(entry.stored_name), &entry);
  std::stable_sort(folded.begin(), folded.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (std::size_t i = 1; i < folded.size(); ++i) {
    if (folded[i].first != folded[i - 1].first)
      continue;
    errors.push_back(
        {folded[i].second->source_path, "name \"" + folded[i].second->stored_name + "\" equals \"" +
                                            folded[i - 1].second->stored_name + "\" but for case"});
  }
}

}  // namespace

std::vector<ToolError> CheckSetEntries(std::span<const PackEntry> entries) {
  std::vector<ToolError> errors;
  for (const PackEntry& entry : entries)
    CheckOne(entry, errors);
  CheckCaseClashes(entries, errors);
  return errors;
}

}  // namespace omnipack

// omnipack list: the trailer and every entry of both sets with its directory record.

#include <algorithm>
#include <array>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "commands.h"
#include "diagnostics.h"
#include "installer_image.h"
#include "json_writer.h"
#include "signature_report.h"
#include "text_format.h"

namespace omnipack {
namespace {

constexpr OptionRule kOptions[] = {{"--json", "", false, false}};

constexpr std::string_view kHelp =
    "usage: omnipack list [--json] FILE\n"
    "\n"
    "Shows the package of an installer: payload offset, set sizes, flags and directory size, then\n"
    "every entry of both sets with its sizes, compression ratio, time stamp and the CRC of its\n"
    "directory record (\"-\" when it has none). For a signed installer it names the certificate\n"
    "table and says whether the package lies inside the range the signature covers.\n"
    "\n"
    "  --json    the same as one JSON object\n";

using Row = std::vector<std::string>;

std::string RatioText(std::uint32_t original, std::uint32_t compressed) {
  if (original == 0)
    return "-";
  char text[16];
  std::snprintf(text, sizeof text, "%.1f%%", 100.0 * compressed / original);
  return text;
}

std::string RecordText(const InstallerImage& image, const LoadedSet& set, const SetEntry& entry) {
  if (set.which != package::PackageSet::kMain)
    return "-";
  const package::DirectoryRecord* record = FindRecord(image, entry.header.Name());
  return record ? HexText(record->crc) : "-";
}

// Columns padded to their widest cell; the numeric ones (2 to 4) aligned right.
void PrintTable(const std::vector<Row>& rows) {
  std::vector<std::size_t> widths(rows.front().size(), 0);
  for (const Row& row : rows) {
    for (std::size_t i = 0; i < row.size(); ++i)
      widths[i] = std::max(widths[i], row[i].size());
  }
  for (const Row& row : rows) {
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i) {
      const std::string padding(widths[i] - row[i].size(), ' ');
      const bool right = i >= 2 && i <= 4;
      line += right ? padding + row[i] : row[i] + (i + 1 < row.size() ? padding : "");
      if (i + 1 < row.size())
        line += "  ";
    }
    while (!line.empty() && line.back() == ' ')
      line.pop_back();
    std::cout << line << '\n';
  }
}

void PrintText(const InstallerImage& image, const std::array<LoadedSet, 2>& sets) {
  const package::PackageTrailer& trailer = image.descriptor.trailer;
  std::cout << image.path << ": " << image.file_size << " bytes, package at offset "
            << trailer.payload_offset << ", flags " << FlagsText(trailer.flags) << '\n';
  for (const LoadedSet& set : sets) {
    const std::uint32_t size = set.which == package::PackageSet::kLanguage
                                   ? trailer.language_set_size
                                   : trailer.main_set_size;
    std::cout << "  " << SetLabel(set.which) << ": " << size << " bytes, "
              << set.contents.entries.size() << " entries\n";
  }
  std::cout << "  directory: " << trailer.record_count << " records\n";
  std::cout << "  signature: " << SignatureText(image) << "\n\n";

  std::vector<Row> rows = {{"SET", "NAME", "SIZE", "PACKED", "RATIO", "TIME", "RECORD"}};
  for (const LoadedSet& set : sets) {
    const char* label = set.which == package::PackageSet::kLanguage ? "language" : "main";
    for (const SetEntry& entry : set.contents.entries) {
      const package::EntryHeader& header = entry.header;
      const std::string time = TimeText(header.time);
      rows.push_back({label, header.Name(), std::to_string(header.original_size),
                      std::to_string(header.compressed_size),
                      RatioText(header.original_size, header.compressed_size),
                      time.empty() ? "-" : time, RecordText(image, set, entry)});
    }
  }
  PrintTable(rows);
  for (const package::DirectoryRecord& record : image.descriptor.directory) {
    if (FindEntry(sets[1].contents, record.Name()) == nullptr) {
      std::cout << "directory record " << record.Name() << " (CRC " << HexText(record.crc)
                << ") has no main-set entry\n";
    }
  }
}

void WriteTime(JsonWriter& json, const package::TimeStamp& time) {
  const std::string text = TimeText(time);
  if (text.empty()) {
    json.Null();
  } else {
    json.String(text);
  }
}

void PrintJson(const InstallerImage& image, const std::array<LoadedSet, 2>& sets,
               const std::vector<ToolError>& problems) {
  const package::PackageTrailer& trailer = image.descriptor.trailer;
  JsonWriter json;
  json.BeginObject().Key("file").String(image.path).Key("size").Number(image.file_size);
  json.Key("trailer").BeginObject();
  json.Key("payload_offset").Number(trailer.payload_offset);
  json.Key("language_set_size").Number(trailer.language_set_size);
  json.Key("main_set_size").Number(trailer.main_set_size);
  json.Key("record_count").Number(trailer.record_count);
  json.Key("flags").Number(trailer.flags);
  json.Key("nt_only").Bool(trailer.flags & package::kNtOnlyFlag);
  json.Key("excluded_groups").Number(ExcludedGroups(trailer.flags));
  json.EndObject();
  WriteSignatureJson(json, image);
  json.Key("sets").BeginObject();
  for (const LoadedSet& set : sets) {
    json.Key(set.which == package::PackageSet::kLanguage ? "language" : "main").BeginArray();
    for (const SetEntry& entry : set.contents.entries) {
      const package::EntryHeader& header = entry.header;
      json.BeginObject().Key("name").String(header.Name());
      json.Key("size").Number(header.original_size);
      json.Key("compressed_size").Number(header.compressed_size);
      json.Key("offset").Number(entry.offset);
      json.Key("time");
      WriteTime(json, header.time);
      const package::DirectoryRecord* record =
          set.which == package::PackageSet::kMain ? FindRecord(image, header.Name()) : nullptr;
      json.Key("record_crc");
      if (record) {
        json.String(HexText(record->crc));
      } else {
        json.Null();
      }
      json.EndObject();
    }
    json.EndArray();
  }
  json.EndObject();
  json.Key("directory").BeginArray();
  for (const package::DirectoryRecord& record : image.descriptor.directory) {
    json.BeginObject().Key("name").String(record.Name());
    json.Key("crc").String(HexText(record.crc));
    json.Key("size").Number(record.original_size);
    json.Key("time");
    WriteTime(json, record.time);
    json.Key("compressed_size").Number(record.compressed_size);
    json.Key("entry_offset").Number(record.entry_offset);
    json.Key("has_entry").Bool(FindEntry(sets[1].contents, record.Name()) != nullptr);
    json.EndObject();
  }
  json.EndArray();
  json.Key("problems").BeginArray();
  for (const ToolError& problem : problems)
    json.String(problem.reason);
  json.EndArray();
  json.EndObject();
  std::cout << json.text() << '\n';
}

int RunList(const ParsedArgs& args) {
  const std::string& path = args.positionals()[0];
  InstallerImage image;
  if (auto error = OpenInstaller(path, image)) {
    PrintError(*error);
    return kExitFailure;
  }
  if (image.trailer_status == status::kBadPackage) {
    PrintError({path, "no package marker at its end: not an installer"});
    return kExitFailure;
  }
  std::vector<ToolError> problems;
  if (image.trailer_status != status::kOk) {
    problems.push_back({path, "the directory of " +
                                  std::to_string(image.descriptor.trailer.record_count) +
                                  " records does not fit in the file"});
  }
  std::array<LoadedSet, 2> sets = {LoadSet(image, package::PackageSet::kLanguage),
                                   LoadSet(image, package::PackageSet::kMain)};
  for (const LoadedSet& set : sets) {
    if (set.status != status::kOk) {
      problems.push_back(
          {path, std::string(SetLabel(set.which)) + ": " + SetLoadProblem(set.status)});
    }
  }
  if (args.Has("--json")) {
    PrintJson(image, sets, problems);
  } else {
    PrintText(image, sets);
  }
  for (const ToolError& problem : problems)
    PrintError(problem);
  return problems.empty() ? kExitSuccess : kExitFailure;
}

}  // namespace

const Command& ListCommand() {
  static const Command command{"list", "show the package of an installer", kHelp, kOptions, 1, 1,
                               RunList};
  return command;
}

}  // namespace omnipack

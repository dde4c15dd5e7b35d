// omnipack verify: checks every rule an installer's package must keep and reports one line per
// violation.

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "commands.h"
#include "diagnostics.h"
#include "installer_image.h"
#include "json_writer.h"
#include "name_rules.h"
#include "package/signature.h"
#include "progress.h"
#include "record_rules.h"
#include "signature_report.h"
#include "stored_names.h"
#include "text_format.h"

namespace omnipack {
namespace {

constexpr OptionRule kOptions[] = {{"--json", "", false, false}};

constexpr std::string_view kHelp =
    "usage: omnipack verify [--json] FILE\n"
    "\n"
    "Checks an installer's package: the trailer marker, where the sets and the directory lie,\n"
    "both set magics and signatures, that every entry decodes to its stated size (as the\n"
    "installer decodes it), that every entry keeps the rules of build (names, sizes, time\n"
    "stamps), that the main set holds the install script, and that every directory record names\n"
    "a main-set entry whose CRC, sizes, place and time stamp it holds, with zero reserved and\n"
    "padding bytes; of a signed installer, that the package lies inside the range its signature\n"
    "covers. Prints one line per violation, and for a signed installer first a line naming its\n"
    "certificate table.\n"
    "Exit code 0 when every rule holds, 1 otherwise.\n"
    "\n"
    "  --json    the result as one JSON object\n";

class Verifier {
 public:
  explicit Verifier(const InstallerImage& image) : image_(image) {}

  std::vector<std::string> Run();

 private:
  void Violation(std::string text) { violations_.push_back(std::move(text)); }
  void CheckLayout();
  // The file each entry gives, or none where the entry does not decode.
  std::vector<std::optional<DecodedEntry>> CheckSet(const LoadedSet& set);
  void CheckEntryRules(const LoadedSet& set, std::string_view label);
  void CheckSignature(const LoadedSet& set, package::SetWindow& copy, std::string_view label);
  void CheckDirectory(const LoadedSet& main_set,
                      const std::vector<std::optional<DecodedEntry>>& decoded);

  const InstallerImage& image_;
  std::vector<std::string> violations_;
  EntryDecoder decoder_;
  ProgressLine progress_;
};

std::vector<std::string> Verifier::Run() {
  const package::PackageTrailer& trailer = image_.descriptor.trailer;
  if (image_.trailer_status == status::kBadPackage) {
    Violation("no package marker at the end of the file");
    return violations_;
  }
  if (image_.trailer_status != status::kOk) {
    Violation("the directory of " + std::to_string(trailer.record_count) +
              " records does not fit in the file");
  } else {
    CheckLayout();
  }
  if (!decoder_.IsReady()) {
    Violation("no scratch file can be created in the temporary directory to decode entries");
    return violations_;
  }
  CheckSet(LoadSet(image_, package::PackageSet::kLanguage));
  const LoadedSet main_set = LoadSet(image_, package::PackageSet::kMain);
  const std::vector<std::optional<DecodedEntry>> decoded = CheckSet(main_set);
  if (main_set.status == status::kOk && FindEntry(main_set.contents, kScriptName) == nullptr) {
    Violation("main set: no install script " + std::string(kScriptName));
  }
  if (image_.trailer_status == status::kOk)
    CheckDirectory(main_set, decoded);
  progress_.Clear();
  return violations_;
}

// The directory is found from the package's end and the sets from the payload offset; in a
// well-formed package the main set ends where the directory starts. A signature covers it all.
void Verifier::CheckLayout() {
  const package::PackageTrailer& trailer = image_.descriptor.trailer;
  const std::uint64_t main_end =
      std::uint64_t{trailer.payload_offset} + 8 + trailer.language_set_size + trailer.main_set_size;
  const std::uint64_t directory_start =
      static_cast<std::uint64_t>(image_.descriptor.package_end) - package::kTrailerSize -
      std::uint64_t{package::kDirectoryRecordSize} * trailer.record_count;
  if (main_end != directory_start) {
    Violation("the main set ends at offset " + std::to_string(main_end) +
              " but the directory starts at offset " + std::to_string(directory_start));
  }
  if (image_.signature && !PackageInsideSignedRange(image_))
    Violation("the package reaches outside the range its signature covers");
}

void Verifier::CheckSignature(const LoadedSet& set, package::SetWindow& copy,
                              std::string_view label) {
  const std::optional<package::SignatureLocation> location = package::FindSetSignature(copy);
  if (!location) {
    const std::int64_t size = copy.Size();
    Violation(std::string(label) +
              (size >= 0 && size <= static_cast<std::int64_t>(package::kSignatureSize)
                   ? ": holds no entries, and a signature record alone cannot be verified"
                   : ": no signature record at its end"));
    return;
  }
  if (package::VerifySetSignature(copy) != status::kOk) {
    Violation(std::string(label) + ": the signature CRC " + HexText(location->crc) +
              " does not match its bytes");
  }
  if (!set.contents.truncated && set.contents.end != location->covered_length) {
    Violation(std::string(label) + ": its entries end at byte " + std::to_string(set.contents.end) +
              " but its signature covers " + std::to_string(location->covered_length) + " bytes");
  }
}

// The rules build keeps for every file it packs, and the time stamp extraction puts on the file.
void Verifier::CheckEntryRules(const LoadedSet& set, std::string_view label) {
  const bool has_directory =
      set.which == package::PackageSet::kMain && image_.trailer_status == status::kOk;
  std::vector<std::string> names;
  for (const SetEntry& entry : set.contents.entries) {
    names.push_back(entry.header.Name());
    const std::string prefix = std::string(label) + ": entry " + names.back() + ": ";
    const bool has_record = has_directory && FindRecord(image_, names.back()) != nullptr;
    for (const std::string& problem :
         EntryProblems({names.back(), entry.header.original_size, has_record}))
      Violation(prefix + problem);
    if (std::optional<std::string> time = TimeStampProblem(entry.header.time))
      Violation(prefix + *time);
  }
  for (const CaseClash& clash : CaseClashes(names)) {
    Violation(std::string(label) + ": entry " + names[clash.later] + ": " +
              CaseClashReason(names[clash.later], names[clash.earlier]));
  }
}

std::vector<std::optional<DecodedEntry>> Verifier::CheckSet(const LoadedSet& set) {
  const std::string label(SetLabel(set.which));
  std::vector<std::optional<DecodedEntry>> results(set.contents.entries.size());
  if (set.status != status::kOk) {
    Violation(label + ": " + SetLoadProblem(set.status));
    return results;
  }
  package::PackageFile copy = package::OpenPackageFile(set.copy.path());
  if (!copy.IsOpen()) {
    Violation(label + ": " + SetLoadProblem(status::kOpenFailed));
    return results;
  }
  CheckSignature(set, copy, label);
  CheckEntryRules(set, label);
  const std::vector<SetEntry>& entries = set.contents.entries;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string name = entries[i].header.Name();
    const std::string prefix = label + ": entry " + name + ": ";
    progress_.Show("verifying " + label + " [" + std::to_string(i + 1) + "/" +
                   std::to_string(entries.size()) + "] " + name);
    if (set.contents.truncated && i + 1 == entries.size()) {
      Violation(prefix + "its data runs past the end of the set");
      continue;
    }
    std::string reason;
    const std::optional<DecodedEntry> decoded = decoder_.Decode(copy, entries[i], reason);
    if (!decoded) {
      Violation(prefix + reason);
      continue;
    }
    results[i] = decoded;
    if (decoded->size != entries[i].header.original_size) {
      Violation(prefix + "decodes to " + std::to_string(decoded->size) +
                " bytes, its header states " + std::to_string(entries[i].header.original_size));
    }
  }
  return results;
}

void Verifier::CheckDirectory(const LoadedSet& main_set,
                              const std::vector<std::optional<DecodedEntry>>& decoded) {
  if (main_set.status != status::kOk)
    return;
  const std::vector<SetEntry>& entries = main_set.contents.entries;
  std::vector<std::string> names;
  for (const package::DirectoryRecord& record : image_.descriptor.directory) {
    names.push_back(record.Name());
    const SetEntry* entry = FindEntry(main_set.contents, names.back());
    const std::optional<DecodedEntry> file =
        entry == nullptr ? std::nullopt : decoded[static_cast<std::size_t>(entry - entries.data())];
    for (const std::string& problem : RecordProblems(record, entry, file))
      Violation("directory record " + names.back() + ": " + problem);
  }
  // Records are looked up by name ignoring case: two of one name leave the lookup to their order.
  for (const CaseClash& clash : CaseClashes(names)) {
    Violation("directory record " + names[clash.later] + ": " +
              CaseClashReason(names[clash.later], names[clash.earlier]));
  }
}

int RunVerify(const ParsedArgs& args) {
  const std::string& path = args.positionals()[0];
  InstallerImage image;
  if (auto error = OpenInstaller(path, image)) {
    PrintError(*error);
    return kExitFailure;
  }
  const std::vector<std::string> violations = Verifier(image).Run();
  if (args.Has("--json")) {
    JsonWriter json;
    json.BeginObject().Key("file").String(path).Key("ok").Bool(violations.empty());
    WriteSignatureJson(json, image);
    json.Key("violations").BeginArray();
    for (const std::string& violation : violations)
      json.String(violation);
    json.EndArray().EndObject();
    std::cout << json.text() << '\n';
  } else {
    if (image.signature)
      std::cout << path << ": signed: " << SignatureText(image) << '\n';
    for (const std::string& violation : violations)
      std::cout << path << ": " << violation << '\n';
  }
  return violations.empty() ? kExitSuccess : kExitFailure;
}

}  // namespace

const Command& VerifyCommand() {
  static const Command command{
      "verify", "check every rule of an installer's package", kHelp, kOptions, 1, 1, RunVerify};
  return command;
}

}  // namespace omnipack

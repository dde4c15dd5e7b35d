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
#include "package/signature.h"
#include "progress.h"
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
    "installer decodes it), that the main set holds the install script, and that every directory\n"
    "record's CRC matches its main-set entry. Prints one line per violation.\n"
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
  // The CRC of each entry's file, or none where the entry does not decode.
  std::vector<std::optional<std::uint32_t>> CheckSet(const LoadedSet& set);
  void CheckSignature(const LoadedSet& set, platform::File& copy, std::string_view label);
  void CheckDirectory(const LoadedSet& main_set,
                      const std::vector<std::optional<std::uint32_t>>& crcs);

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
  const std::vector<std::optional<std::uint32_t>> crcs = CheckSet(main_set);
  if (main_set.status == status::kOk && FindEntry(main_set.contents, kScriptName) == nullptr) {
    Violation("main set: no install script " + std::string(kScriptName));
  }
  if (image_.trailer_status == status::kOk)
    CheckDirectory(main_set, crcs);
  progress_.Clear();
  return violations_;
}

// The directory is found from the end and the sets from the payload offset; in a well-formed
// package the main set ends where the directory starts.
void Verifier::CheckLayout() {
  const package::PackageTrailer& trailer = image_.descriptor.trailer;
  const std::uint64_t main_end =
      std::uint64_t{trailer.payload_offset} + 8 + trailer.language_set_size + trailer.main_set_size;
  const std::uint64_t directory_start =
      image_.file_size - package::kTrailerSize -
      std::uint64_t{package::kDirectoryRecordSize} * trailer.record_count;
  if (main_end != directory_start) {
    Violation("the main set ends at offset " + std::to_string(main_end) +
              " but the directory starts at offset " + std::to_string(directory_start));
  }
}

void Verifier::CheckSignature(const LoadedSet& set, platform::File& copy, std::string_view label) {
  const std::optional<package::SignatureLocation> location = package::FindSetSignature(copy);
  if (!location) {
    const std::int64_t size = copy.Size();
    Violation(std::string(label) +
              (size >= 0 && size <= static_cast<std::int64_t>(package::kSignatureSize)
                   ? ": holds no entries, and a signature record alone cannot be verified"
                   : ": no signature record at its end"));
    return;
  }
  if (package::VerifySetSignature(set.copy.path()) != status::kOk) {
    Violation(std::string(label) + ": the signature CRC " + HexText(location->crc) +
              " does not match its bytes");
  }
  if (!set.contents.truncated && set.contents.end != location->covered_length) {
    Violation(std::string(label) + ": its entries end at byte " + std::to_string(set.contents.end) +
              " but its signature covers " + std::to_string(location->covered_length) + " bytes");
  }
}

std::vector<std::optional<std::uint32_t>> Verifier::CheckSet(const LoadedSet& set) {
  const std::string label(SetLabel(set.which));
  std::vector<std::optional<std::uint32_t>> crcs(set.contents.entries.size());
  if (set.status != status::kOk) {
    Violation(label + ": " + SetLoadProblem(set.status));
    return crcs;
  }
  package::PackageFile copy = package::OpenPackageFile(set.copy.path());
  if (!copy.IsOpen()) {
    Violation(label + ": " + SetLoadProblem(status::kOpenFailed));
    return crcs;
  }
  CheckSignature(set, copy, label);
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
    crcs[i] = decoded->crc;
    if (decoded->size != entries[i].header.original_size) {
      Violation(prefix + "decodes to " + std::to_string(decoded->size) +
                " bytes, its header states " + std::to_string(entries[i].header.original_size));
    }
  }
  return crcs;
}

void Verifier::CheckDirectory(const LoadedSet& main_set,
                              const std::vector<std::optional<std::uint32_t>>& crcs) {
  if (main_set.status != status::kOk)
    return;
  const std::vector<SetEntry>& entries = main_set.contents.entries;
  for (const package::DirectoryRecord& record : image_.descriptor.directory) {
    const std::string prefix = "directory record " + record.Name() + ": ";
    const SetEntry* entry = FindEntry(main_set.contents, record.Name());
    if (entry == nullptr) {
      Violation(prefix + "no main-set entry of that name");
      continue;
    }
    const std::optional<std::uint32_t>& crc =
        crcs[static_cast<std::size_t>(entry - entries.data())];
    if (crc && *crc != record.crc) {
      Violation(prefix + "CRC " + HexText(record.crc) + " does not match the entry's " +
                HexText(*crc));
    }
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
    json.Key("violations").BeginArray();
    for (const std::string& violation : violations)
      json.String(violation);
    json.EndArray().EndObject();
    std::cout << json.text() << '\n';
  } else {
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

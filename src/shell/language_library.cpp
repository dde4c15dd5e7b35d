#include "shell/language_library.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <utility>

#include "base/path.h"
#include "log/install_log.h"
#include "package/extraction.h"
#include "package/signature.h"
#include "package/temp_folder.h"
#include "platform/file.h"
#include "platform/filesystem.h"
#include "platform/win32/library_loading.h"

namespace shell {
namespace {

// The folder field of the run record holds 259 characters and a zero.
constexpr std::size_t kFolderCapacity = 260;

constexpr unsigned kLangChinese = 0x04;

struct LanguageRow {
  unsigned primary;
  const char* library;
};

constexpr LanguageRow kLanguageLibraries[] = {
    {0x07, "OPStbResDEU.dll"}, {0x0A, "OPStbResESP.dll"}, {0x0C, "OPStbResFRA.dll"},
    {0x10, "OPStbResITA.dll"}, {0x11, "OPStbResJPN.dll"}, {0x12, "OPStbResKOR.dll"},
    {0x13, "OPStbResNLD.dll"}, {0x15, "OPStbResPLK.dll"}, {0x16, "OPStbResPTB.dll"},
    {0x1D, "OPStbResSVE.dll"},
};

// Verifies the language set in place inside the installer and unpacks it into a new folder.
Status UnpackLanguageSet(platform::File installer, const package::PackageDescriptor& descriptor,
                         std::string& language_folder) {
  package::PackageFile set;
  Status result = package::OpenInstallerSet(std::move(installer), descriptor,
                                            package::PackageSet::kLanguage, set);
  if (result == status::kOk && package::VerifySetSignature(set) != status::kOk)
    result = status::kSignatureFailed;
  if (result != status::kOk)
    return result;
  // A folder that cannot be made is a failed unpack.
  if (!package::CreateTempFolder(platform::TempDirectory(), language_folder, kFolderCapacity))
    return status::kExtractFailed;
  return package::ExtractAllEntries(set, language_folder);
}

// The path of library name in folder, or of the default library when the folder does not hold
// name. Empty without a folder: LoadLibraryAt refuses that, where a bare name would be searched
// for.
std::string LibraryPathIn(const std::string& folder, const std::string& name) {
  if (folder.empty())
    return {};
  std::string path = folder;
  if (base::JoinPath(path, base::kPathCapacity, name) && platform::IsFile(path))
    return path;
  path = folder;
  base::JoinPath(path, base::kPathCapacity, kDefaultLanguageLibrary);
  return path;
}

}  // namespace

std::string LanguageLibraryName(unsigned language_id) {
  const unsigned primary = language_id & 0x3FF;
  const unsigned sublanguage = (language_id & 0xFFFF) >> 10;
  if (primary == kLangChinese)
    return sublanguage == 2 || sublanguage == 4 ? "OPStbResCHS.dll" : "OPStbResCHT.dll";
  for (const LanguageRow& row : kLanguageLibraries) {
    if (row.primary == primary)
      return row.library;
  }
  return kDefaultLanguageLibrary;
}

Status PrepareLanguageLibrary(const std::string& installer_path,
                              const package::PackageDescriptor& descriptor,
                              std::string& language_folder, std::string& library_name) {
  Status result = status::kInstallerOpenFailed;
  platform::File installer =
      platform::File::OpenExisting(installer_path, platform::OpenMode::kReadShareRead);
  if (installer.IsOpen())
    result = UnpackLanguageSet(std::move(installer), descriptor, language_folder);
  library_name = LanguageLibraryName(LANGIDFROMLCID(::GetThreadLocale()));
  return result;
}

std::string LibraryLoadFailureText(unsigned long error) {
  char* system_text = nullptr;
  const DWORD length = ::FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
      reinterpret_cast<char*>(&system_text), 0, nullptr);
  std::string text = std::string(kDefaultLanguageLibrary) + ":  ";
  if (length != 0)
    text.append(system_text, length);
  ::LocalFree(system_text);
  return text;
}

void ReportLibraryLoadFailure(unsigned long error, bool silent) {
  std::string text = LibraryLoadFailureText(error);
  if (!silent) {
    ::MessageBoxA(nullptr, text.c_str(), "Error", MB_OK | MB_ICONINFORMATION);
    return;
  }
  // The system's text ends its own line, which the log line must not carry.
  text.erase(text.find_last_not_of(" \r\n") + 1);
  logging::InstallLog().LogText(text);
}

LoadedLanguageLibrary::LoadedLanguageLibrary(const std::string& folder, const std::string& name)
    : module_(platform::LoadLibraryAt(LibraryPathIn(folder, name))) {
  if (!module_.IsOpen())
    load_error_ = ::GetLastError();
}

std::string LoadedLanguageLibrary::Message(MessageId id, std::size_t capacity) const {
  if (!module_.IsOpen() || capacity == 0)
    return {};
  // The system takes the size as an int; no message comes near that.
  std::string text(std::min<std::size_t>(capacity, INT_MAX), '\0');
  const int length = ::LoadStringA(module_.Get(), id, text.data(), static_cast<int>(text.size()));
  text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  return text;
}

}  // namespace shell

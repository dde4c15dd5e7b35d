#pragma once

#include <cstddef>
#include <string>

#include "base/status.h"
#include "log/message_source.h"
#include "package/container.h"
#include "platform/win32/unique_handle.h"

namespace shell {

// The base name every failed library load reports, whichever library was chosen.
inline constexpr const char* kDefaultLanguageLibrary = "OPStbRes.dll";

// The language library for a language identifier: the primary language is its low 10 bits, the
// sublanguage the bits above. Unknown languages get the default library.
std::string LanguageLibraryName(unsigned language_id);

// Unpacks the language set of the installer at installer_path into a new temporary folder
// (language_folder) and chooses the library for the calling thread's locale (library_name, set in
// every case). The set is read in place inside the installer. status::kOk;
// kInstallerOpenFailed when the installer cannot be opened; a status of OpenInstallerSet;
// kSignatureFailed when the signature does not verify or a library's stream is damaged;
// kExtractFailed when unpacking failed otherwise.
Status PrepareLanguageLibrary(const std::string& installer_path,
                              const package::PackageDescriptor& descriptor,
                              std::string& language_folder, std::string& library_name);

// The text of the box shown when the language library cannot be loaded: the default library's
// name and the system's text for error.
std::string LibraryLoadFailureText(unsigned long error);

// Shows that text in a box of the desktop, caption "Error", information icon, OK button, and
// returns when the user has closed it; a silent run writes it to the early log file instead.
void ReportLibraryLoadFailure(unsigned long error, bool silent);

// A language library loaded for its string table, dialog templates and bitmap; freed with the
// object.
class LoadedLanguageLibrary final : public MessageSource {
 public:
  // Loads the library name from folder, where PrepareLanguageLibrary unpacked the language set, by
  // its full path; the default library of that folder when it does not hold name (a package
  // carries only some languages). Loads nothing when folder is empty, as it is when the set could
  // not be unpacked: a library of that name found elsewhere, beside the installer or in the
  // current folder, must never stand in for the package's.
  LoadedLanguageLibrary(const std::string& folder, const std::string& name);

  bool IsLoaded() const { return module_.IsOpen(); }
  // Why the library is not loaded: the system's error code (ERROR_MOD_NOT_FOUND without a folder);
  // 0 when it is loaded.
  unsigned long LoadError() const { return load_error_; }
  // The module handle for the wizard's dialogs and bitmap; null when not loaded.
  HMODULE Module() const { return module_.Get(); }

  std::string Message(MessageId id, std::size_t capacity) const override;

 private:
  platform::ModuleHandle module_;
  unsigned long load_error_ = 0;
};

}  // namespace shell

// The language library: the choice by locale, unpacking the language set, and the libraries this
// tree builds, loaded as the installer loads them.

#include "shell/language_library.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "base/path.h"
#include "log/messages.h"
#include "log/status_catalogue.h"
#include "package/container.h"
#include "script_in_folder.h"
#include "test_package.h"
#include "test_support.h"

namespace {

using shell::LanguageLibraryName;
using shell::LoadedLanguageLibrary;
using test_package::Bytes;
using test_package::Installer;
using test_support::ScratchFolder;

constexpr std::size_t kCapacity = 261;

TEST(LanguageLibraryNameTest, ChoosesByPrimaryLanguageAndChineseSublanguage) {
  const struct {
    unsigned language_id;
    const char* library;
  } cases[] = {
      {0x0404, "OPStbResCHT.dll"},  // Taiwan
      {0x0804, "OPStbResCHS.dll"},  // PRC
      {0x0C04, "OPStbResCHT.dll"},  // Hong Kong
      {0x1004, "OPStbResCHS.dll"},  // Singapore
      {0x1404, "OPStbResCHT.dll"},  // Macau
      {0x0004, "OPStbResCHT.dll"},  // neutral Chinese
      {0x0407, "OPStbResDEU.dll"}, {0x0807, "OPStbResDEU.dll"},
      {0x0C0A, "OPStbResESP.dll"}, {0x040C, "OPStbResFRA.dll"},
      {0x0410, "OPStbResITA.dll"}, {0x0411, "OPStbResJPN.dll"},
      {0x0412, "OPStbResKOR.dll"}, {0x0813, "OPStbResNLD.dll"},
      {0x0415, "OPStbResPLK.dll"}, {0x0416, "OPStbResPTB.dll"},
      {0x041D, "OPStbResSVE.dll"}, {0x0419, "OPStbRes.dll"},  // Russian
      {0x0409, "OPStbRes.dll"},                               // English
      {0x0207, "OPStbRes.dll"},  // primary 0x207, not German: the primary is 10 bits wide
      {0x0000, "OPStbRes.dll"},
  };
  for (const auto& row : cases)
    EXPECT_EQ(LanguageLibraryName(row.language_id), row.library) << std::hex << row.language_id;
}

Bytes Filler(std::size_t size) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<std::uint8_t>(i * 13 + 5);
  return bytes;
}

// Runs PrepareLanguageLibrary on an installer in a scratch folder, with the process's temporary
// directory pointed at a folder of its own so that what is left there can be seen.
class PrepareLanguageLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char saved[MAX_PATH];
    const DWORD length = ::GetEnvironmentVariableA("TMP", saved, sizeof saved);
    if (length > 0 && length < sizeof saved)
      saved_tmp_ = saved;
    ::SetEnvironmentVariableA("TMP", (temp_.path() + "\\").c_str());
  }
  void TearDown() override {
    ::SetEnvironmentVariableA("TMP", saved_tmp_ ? saved_tmp_->c_str() : nullptr);
  }

  Status Prepare(const Installer& installer) {
    EXPECT_TRUE(
        test_support::WriteFileBytes(installer_path_, test_package::InstallerBytes(installer)));
    EXPECT_EQ(package::ReadPackageTrailer(installer_path_, descriptor_), status::kOk);
    return shell::PrepareLanguageLibrary(installer_path_, descriptor_, folder_, name_);
  }

  std::vector<std::string> TempNames() const { return test_package::FolderNames(temp_.path()); }

  ScratchFolder temp_;
  ScratchFolder home_;
  std::optional<std::string> saved_tmp_;
  std::string installer_path_ = home_ / "setup.exe";
  package::PackageDescriptor descriptor_;
  std::string folder_;
  std::string name_;
};

TEST_F(PrepareLanguageLibraryTest, UnpacksTheSetIntoANewFolderAndDeletesTheCopy) {
  Installer installer;
  installer.language_set =
      test_package::SignedSet({test_package::FixtureEntry("OPStbRes.dll", "abc"),
                               test_package::FixtureEntry("OPStbResDEU.dll", "exact-4036")});
  ASSERT_EQ(Prepare(installer), status::kOk);

  ASSERT_FALSE(folder_.empty());
  // The folder is made beside the set's copy, which is gone.
  EXPECT_EQ(TempNames(), std::vector<std::string>{base::FileNameOf(folder_)});
  EXPECT_EQ(test_package::FolderNames(folder_),
            (std::vector<std::string>{"OPStbRes.dll", "OPStbResDEU.dll"}));
  EXPECT_EQ(test_support::ReadFileBytes(folder_ + "\\OPStbResDEU.dll"),
            test_package::Original("exact-4036"));
  EXPECT_EQ(name_, LanguageLibraryName(LANGIDFROMLCID(::GetThreadLocale())));
}

TEST_F(PrepareLanguageLibraryTest, FailuresLeaveNoCopyAndStillChooseTheLibrary) {
  const Bytes garbage = Filler(200);
  const Bytes entry = test_package::EntryBytes(test_package::FixtureEntry("OPStbRes.dll", "abc"));
  const struct {
    const char* what;
    Bytes language_set;
    bool remove_installer;
    Status expected;
    bool folder_made;
  } cases[] = {
      {"bad signature", test_package::WithSignature(entry, 0x0100, 0x12345678), false,
       status::kSignatureFailed, false},
      {"no entry header",
       test_package::WithSignature(garbage, 0x0100, test_package::SignatureCrc(garbage)), false,
       status::kExtractFailed, true},
      {"installer gone", test_package::SignedSet({}), true, status::kInstallerOpenFailed, false},
  };
  // The name follows the thread's locale whatever happened.
  const LCID saved_locale = ::GetThreadLocale();
  ::SetThreadLocale(MAKELCID(0x0407, SORT_DEFAULT));
  for (const auto& row : cases) {
    SCOPED_TRACE(row.what);
    Installer installer;
    installer.language_set = row.language_set;
    test_support::WriteFileBytes(installer_path_, test_package::InstallerBytes(installer));
    ASSERT_EQ(package::ReadPackageTrailer(installer_path_, descriptor_), status::kOk);
    if (row.remove_installer) {
      ASSERT_TRUE(::DeleteFileA(installer_path_.c_str()));
    }
    folder_.clear();
    name_.clear();

    EXPECT_EQ(shell::PrepareLanguageLibrary(installer_path_, descriptor_, folder_, name_),
              row.expected);
    EXPECT_EQ(name_, "OPStbResDEU.dll");
    EXPECT_EQ(!folder_.empty(), row.folder_made);
    EXPECT_EQ(TempNames().size(), row.folder_made ? 1u : 0u);
    if (!folder_.empty())
      test_support::RemoveTree(folder_);
  }
  ::SetThreadLocale(saved_locale);
}

// The folder of the libraries this tree builds.
std::string BuiltFolder() {
  return test_support::SystemPath(OMNI_LANG_DIR);
}

// Every id the installer fetches: the named messages and the status catalogue's.
std::vector<MessageId> MessageIdsInUse() {
  std::vector<MessageId> ids = {
      message::kTitle,
      message::kDeleting,
      message::kVerifyingSettings,
      message::kInstallingModule,
      message::kExtractingFromStub,
      message::kRemovingTemporary,
      message::kDeleteFailed,
      message::kRegKeyOpenFailed,
      message::kLogFileName,
      message::kBoxCaption,
      message::kInvalidLogPath,
      message::kUpdateSucceeded,
      message::kUpdateFailed,
      message::kSearchingProducts,
      message::kBackingUp,
      message::kReplacingFile,
      message::kLoadingScript,
      message::kRestarting,
      message::kRestartFailed,
      message::kShutdownNotice,
      message::kRestartPrompt,
      message::kSignatureFailed,
      message::kSelfValidation,
      message::kUncompressingFile,
      message::kClosingApplication,
      message::kStartingApplication,
      message::kStoppingService,
      message::kStartingService,
      message::kReplacedOnReboot,
      message::kRetrievingFile,
      message::kEnablingService,
      message::kDisablingService,
      message::kExtractingAll,
      message::kExtractionSucceeded,
      message::kServiceStopFailed,
      message::kServiceDisableFailed,
      message::kExtractionFailed,
      message::kLoadingGlobals,
      message::kNoRightsToUpdate,
      message::kViewLog,
      message::kRegValueDeleteFailed,
      message::kRegKeyDeleteFailed,
      message::kFolderDeleteFailed,
      message::kSectionsNestedTooDeep,
      message::kWaitCut,
  };
  for (const logging::StatusRow& row : logging::StatusCatalogue())
    ids.push_back(row.message);
  return ids;
}

class BuiltLanguageLibraryTest : public ::testing::TestWithParam<const char*> {};

TEST_P(BuiltLanguageLibraryTest, CarriesEveryMessageTheWizardPagesAndTheBitmap) {
  const LoadedLanguageLibrary library(BuiltFolder(), GetParam());
  ASSERT_TRUE(library.IsLoaded()) << GetParam();
  // 98 (status 48) is empty on purpose: that status is neither logged nor shown.
  constexpr MessageId kSilentStatusMessage = 98;
  for (MessageId id : MessageIdsInUse()) {
    if (id == kSilentStatusMessage)
      EXPECT_EQ(library.Message(id, kCapacity), "");
    else
      EXPECT_NE(library.Message(id, kCapacity), "") << "message " << id;
  }
  const HMODULE module = library.Module();
  for (int dialog : {102, 103, 104})
    EXPECT_NE(::FindResourceA(module, MAKEINTRESOURCEA(dialog), MAKEINTRESOURCEA(5)), nullptr)
        << "dialog " << dialog;  // 5 is RT_DIALOG
  EXPECT_NE(::FindResourceA(module, MAKEINTRESOURCEA(101), MAKEINTRESOURCEA(2)),
            nullptr);  // RT_BITMAP
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, BuiltLanguageLibraryTest,
                         ::testing::Values("OPStbRes.dll", "OPStbResDEU.dll"));

TEST(LoadedLanguageLibraryTest, EnglishTextsAndTheCapacityCut) {
  const LoadedLanguageLibrary library(BuiltFolder(), "OPStbRes.dll");
  ASSERT_TRUE(library.IsLoaded());
  EXPECT_EQ(library.Message(message::kLogFileName, kCapacity), "KPTInst.log");
  EXPECT_EQ(library.Message(message::kBoxCaption, kCapacity),
            "Sentrel Module Installer Notification");
  EXPECT_EQ(library.Message(108, kCapacity),
            "Invalid switch or value supplied in command line parameters.");
  EXPECT_EQ(library.Message(121, kCapacity), "This package can be used on Windows NT/2000 only.");

  const struct {
    std::size_t capacity;
    const char* text;
  } cuts[] = {{12, "KPTInst.log"}, {11, "KPTInst.lo"}, {4, "KPT"}, {1, ""}, {0, ""}};
  for (const auto& cut : cuts)
    EXPECT_EQ(library.Message(message::kLogFileName, cut.capacity), cut.text) << cut.capacity;
  EXPECT_EQ(library.Message(9999, kCapacity), "");
}

TEST(LoadedLanguageLibraryTest, FreesTheLibraryWithTheObject) {
  const std::string path = BuiltFolder() + "\\OPStbResDEU.dll";
  {
    const LoadedLanguageLibrary library(BuiltFolder(), "OPStbResDEU.dll");
    ASSERT_TRUE(library.IsLoaded());
    EXPECT_EQ(::GetModuleHandleA(path.c_str()), library.Module());
  }
  EXPECT_EQ(::GetModuleHandleA(path.c_str()), nullptr);
}

// A language folder holding some of the libraries: the chosen one is loaded when it is there, the
// default one otherwise. Without a folder nothing is loaded, though the libraries lie in the
// current folder, where a search by name would find them; a failure is reported under the
// default name with the system's words.
TEST(LoadedLanguageLibraryTest, TakesTheChosenOrTheDefaultLibraryOfItsFolderOnly) {
  const struct {
    const char* what;
    std::vector<std::string> in_folder;
    bool folder_given;
    const char* chosen;
    const char* update_succeeded;  // that message of the library loaded; "" when none is
  } cases[] = {
      {"chosen",
       {"OPStbRes.dll", "OPStbResDEU.dll"},
       true,
       "OPStbResDEU.dll",
       "Die Aktualisierung war erfolgreich."},
      {"not carried",
       {"OPStbRes.dll", "OPStbResDEU.dll"},
       true,
       "OPStbResFRA.dll",
       "Update process is successful."},
      {"neither", {"OPStbResDEU.dll"}, true, "OPStbResFRA.dll", ""},
      {"no folder", {"OPStbRes.dll", "OPStbResDEU.dll"}, false, "OPStbRes.dll", ""},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.what);
    const ScratchFolder folder;
    for (const std::string& name : row.in_folder) {
      ASSERT_TRUE(
          ::CopyFileA((BuiltFolder() + "\\" + name).c_str(), (folder / name).c_str(), TRUE));
    }
    const test_support::CurrentFolder inside(folder.path());

    const LoadedLanguageLibrary library(row.folder_given ? folder.path() : "", row.chosen);
    const bool loaded = *row.update_succeeded != '\0';
    EXPECT_EQ(library.IsLoaded(), loaded);
    EXPECT_EQ(library.Message(message::kUpdateSucceeded, kCapacity), row.update_succeeded);
    if (loaded) {
      EXPECT_EQ(library.LoadError(), 0u);
    } else {
      EXPECT_EQ(library.LoadError(), static_cast<unsigned long>(ERROR_MOD_NOT_FOUND));
      const std::string text = shell::LibraryLoadFailureText(library.LoadError());
      const std::string prefix = "OPStbRes.dll:  ";
      ASSERT_GT(text.size(), prefix.size());
      EXPECT_EQ(text.substr(0, prefix.size()), prefix);
      EXPECT_NE(text[prefix.size()], ' ');
    }
  }
}

}  // namespace

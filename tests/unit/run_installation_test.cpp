#include "shell/run/run_installation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "log/messages.h"
#include "package/container.h"
#include "platform/filesystem.h"
#include "recording_reporter.h"
#include "script/run_state.h"
#include "test_package.h"
#include "test_support.h"

namespace {

using test_package::Bytes;
using test_package::Entry;
using test_support::RecordingReporter;
using Report = RecordingReporter::Report;

Entry ScriptEntry() {
  return {
      "ORQSCRIP.OSC", test_support::ReadFileBytes(test_support::FixturePath("script/run.lzh")), {}};
}

// An installer in a scratch folder, read back the way the entry reads it.
class RunInstallationTest : public testing::Test {
 protected:
  Status Run(const std::vector<Entry>& main_entries, bool extract_only = false,
             std::string target = {}, bool damage_main_set = false) {
    test_package::Installer installer;
    installer.language_set = test_package::SignedSet({test_package::FixtureEntry("a.dll", "abc")});
    installer.main_set = test_package::SignedSet(main_entries);
    if (damage_main_set)
      installer.main_set[300] ^= 0xFF;
    EXPECT_TRUE(
        test_support::WriteFileBytes(installer_path_, test_package::InstallerBytes(installer)));
    EXPECT_EQ(package::ReadPackageTrailer(installer_path_, descriptor_), status::kOk);
    return shell::RunInstallation(
        {installer_path_, descriptor_, reporter_, state_, extract_only, std::move(target)});
  }

  std::vector<MessageId> LoggedIds() const {
    std::vector<MessageId> ids;
    for (const Report& report : reporter_.reports) {
      if (report.kind == Report::kLog)
        ids.push_back(report.id);
    }
    return ids;
  }

  // Every "Deleting..." path of the run, checked gone.
  void ExpectScratchRemoved(std::size_t expected_count) {
    std::size_t count = 0;
    for (const Report& report : reporter_.reports) {
      if (report.kind != Report::kLog || report.id != message::kDeleting)
        continue;
      ++count;
      EXPECT_FALSE(platform::IsFile(report.text)) << report.text;
      EXPECT_FALSE(platform::IsFolder(report.text)) << report.text;
    }
    EXPECT_EQ(count, expected_count);
  }

  test_support::ScratchFolder scratch_;
  std::string installer_path_ = scratch_ / "update.exe";
  package::PackageDescriptor descriptor_;
  RecordingReporter reporter_;
  script::RunState state_;
};

TEST_F(RunInstallationTest, RunsTheScriptAndRemovesItsScratch) {
  EXPECT_EQ(Run({ScriptEntry()}), status::kOk);
  EXPECT_EQ(state_.final_status_word, 0);
  EXPECT_EQ(LoggedIds(),
            (std::vector<MessageId>{message::kExtractingFromStub, message::kSelfValidation,
                                    message::kRetrievingFile, message::kLoadingScript,
                                    message::kSearchingProducts, message::kDeleting}));
  // REPORTSTATUS wrote its line between Main's start and the clean-up.
  EXPECT_EQ(reporter_.reports[reporter_.reports.size() - 3],
            (Report{Report::kText, 0, "script ran"}));
  EXPECT_EQ(reporter_.reports.front().text, installer_path_);
  ExpectScratchRemoved(1);  // the package folder; the set is read inside the installer
}

// The script is fetched like any entry: a package without one fails to extract it.
TEST_F(RunInstallationTest, PackageWithoutScriptFailsToExtractIt) {
  EXPECT_EQ(Run({test_package::FixtureEntry("data.txt", "abc")}), status::kExtractFailed);
  ExpectScratchRemoved(1);
}

// The signature is checked over the set in place before anything is made or run: the run makes
// no folder, unpacks nothing and runs no script, in either mode.
TEST_F(RunInstallationTest, DamagedMainSetFailsItsSignatureBeforeAnyChange) {
  for (const bool extract_only : {false, true}) {
    SCOPED_TRACE(extract_only ? "extract only" : "install");
    reporter_.reports.clear();
    const std::string target = scratch_ / (extract_only ? "out" : "unused");
    EXPECT_EQ(Run({ScriptEntry(), test_package::FixtureEntry("big.txt", "license-gpl3")},
                  extract_only, extract_only ? target : std::string(), true),
              status::kSignatureFailed);
    EXPECT_EQ(LoggedIds(),
              (std::vector<MessageId>{message::kExtractingFromStub, message::kSelfValidation,
                                      message::kSignatureFailed}));
    EXPECT_EQ(state_.final_status_word, 1);
    EXPECT_FALSE(platform::IsFolder(target));
    EXPECT_FALSE(platform::IsFile(scratch_ / "ORQSCRIP.OSC"));
  }
}

TEST_F(RunInstallationTest, ExtractOnlyUnpacksEverythingAndRunsNoScript) {
  const std::string target = scratch_ / "out\\deeper";
  EXPECT_EQ(
      Run({ScriptEntry(), test_package::FixtureEntry("sub\\data.bin", "random-64k")}, true, target),
      status::kOk);
  EXPECT_TRUE(platform::IsFile(target + "\\ORQSCRIP.OSC"));
  EXPECT_EQ(test_support::ReadFileBytes(target + "\\sub\\data.bin"),
            test_package::Original("random-64k"));
  EXPECT_EQ(reporter_.reports.size(), 6u);  // 14 and 73 twice each, 93 and 16
  EXPECT_EQ(state_.final_status_word, 1);
  ExpectScratchRemoved(0);
}

TEST_F(RunInstallationTest, ExtractOnlyIntoTheInstallersFolderByDefault) {
  EXPECT_EQ(Run({ScriptEntry()}, true), status::kOk);
  EXPECT_TRUE(platform::IsFile(scratch_ / "ORQSCRIP.OSC"));
}

TEST_F(RunInstallationTest, ExtractOnlyTargetThatCannotBeMade) {
  ASSERT_TRUE(test_support::WriteFileText(scratch_ / "blocker", "a file where a folder should be"));
  EXPECT_EQ(Run({ScriptEntry()}, true, scratch_ / "blocker\\out"), status::kWorkDirFailed);
  ExpectScratchRemoved(0);
}

TEST_F(RunInstallationTest, MissingInstaller) {
  package::PackageDescriptor descriptor;
  EXPECT_EQ(
      shell::RunInstallation({scratch_ / "absent.exe", descriptor, reporter_, state_, false, {}}),
      status::kInstallerOpenFailed);
  EXPECT_EQ(LoggedIds(), std::vector<MessageId>{});
}

}  // namespace

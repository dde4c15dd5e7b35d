// The installing commands run from script text over a real main set: SETWORKDIR, INSTALLFILES,
// FILE, COPYFILEAS, REPLACEFILE and REPLACEFILEAS.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/path.h"
#include "install_test_files.h"
#include "log/messages.h"
#include "lzhuf_encoder.h"
#include "package/container.h"
#include "pending_renames.h"
#include "platform/filesystem.h"
#include "script/interpreter.h"
#include "script_runner.h"
#include "test_package.h"
#include "test_support.h"

namespace {

using test_package::Bytes;
using test_package::FolderNames;
using test_support::HeldFile;
using test_support::ModificationTime;
using test_support::ReadFileBytes;
using test_support::Stamp;
using test_support::SystemForm;
using test_support::WriteFileBytes;
using Report = test_support::RecordingReporter::Report;
using Names = std::vector<std::string>;
using Move = std::pair<std::string, std::string>;

bool Holds(const test_support::PendingRenames::Pairs& pairs, const Move& move) {
  return std::find(pairs.begin(), pairs.end(), move) != pairs.end();
}

Bytes Pattern(std::size_t size, std::uint8_t seed) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<std::uint8_t>(seed + i * 13 + i / 509);
  return bytes;
}

// A DLL with a version resource, built beside the tests (tests/helpers/versioned_dll.rc).
Bytes VersionedDll(std::string_view name) {
  return ReadFileBytes(
      test_support::SystemPath(std::string(OMNI_HELPERS_DIR) + "/" + std::string(name) + ".dll"));
}

const package::TimeStamp kPackageTime = Stamp(2005, 6, 7, 8, 9, 10);

struct PackedFile {
  std::string name;
  Bytes bytes;
  bool recorded = true;  // false: the directory records another CRC for the name
};

// Runs scripts over a main set of given files, with the work directory "app" and the backup
// directory "backup" of a scratch folder. Every run gets a runner of its own, so that the run's
// flags, package folder and reports start afresh.
class InstallCommandsTest : public ::testing::Test {
 protected:
  InstallCommandsTest() {
    platform::CreateFolder(app_);
    platform::CreateFolder(backups_);
  }

  void Package(const std::vector<PackedFile>& files) {
    std::vector<test_package::Entry> entries;
    descriptor_.directory.Clear();
    for (const PackedFile& file : files) {
      test_package::Entry entry{file.name, {}, kPackageTime};
      ASSERT_EQ(omnipack::EncodeBytes(file.bytes, entry.compressed), omnipack::EncodeStatus::kOk);
      entries.push_back(entry);
      const std::uint32_t crc = test_package::FileCrc(file.bytes);
      descriptor_.directory.Append(test_package::Record(file.name, file.recorded ? crc : ~crc));
    }
    runner_.reset();
    set_ = package::PackageFile();
    ASSERT_TRUE(WriteFileBytes(set_path_, test_package::SignedSet(entries)));
    set_ = package::OpenPackageFile(set_path_);
    ASSERT_TRUE(set_.IsOpen());
  }

  // Loads and runs script as the installer does; SETBACKUPDIR's part is played by setting the
  // backup directory before Main runs.
  Status Run(std::string_view script, bool direct_copy = true) {
    runner_ = std::make_unique<test_support::ScriptRunner>(set_, descriptor_);
    runner_->state.direct_copy_mode = direct_copy;
    const Status loaded = runner_->Load(test_support::Crlf(script));
    if (loaded != status::kOk)
      return loaded;
    runner_->context().backup_directory = backups_;
    return script::RunMain(runner_->context());
  }

  // Main sets the work directory to app and calls Go, whose lines follow.
  std::string MainWithApp() const {
    return "[Main]\nSet app=" + app_ + "\nSetWorkDir app\nCall Go\n[Go]\n";
  }
  // Go's lines, then "Set after=1", which runs only when no line failed or stopped Go; then
  // further sections.
  std::string InGo(std::string_view lines, std::string_view sections = {}) const {
    return MainWithApp() + std::string(lines) + "Set after=1\n" + std::string(sections);
  }

  std::string App(std::string_view name) const { return app_ + "\\" + std::string(name); }
  std::string Backup(std::string_view name) const { return backups_ + "\\" + std::string(name); }

  bool RanToTheEnd() const { return runner_->Variable("after").has_value(); }
  const script::RunState& State() const { return runner_->state; }
  std::vector<Report> ReportsOf(MessageId id) const { return runner_->ReportsOf(id); }

  test_support::ScratchFolder scratch_;
  const std::string app_ = scratch_ / "app";
  const std::string backups_ = scratch_ / "backup";
  std::string set_path_ = scratch_ / "ORQ1.tmp";
  package::PackageFile set_;
  package::PackageDescriptor descriptor_;
  std::unique_ptr<test_support::ScriptRunner> runner_;
};

TEST_F(InstallCommandsTest, FileAndCopyFileAsInstallWithBackupAndPackageTime) {
  const Bytes engine = Pattern(40000, 1);
  const Bytes readme = Pattern(3000, 2);
  const Bytes scan = Pattern(1500, 3);
  Package({{"engine.dll", engine}, {"readme.txt", readme}, {"bin\\scan.dat", scan}});
  ASSERT_TRUE(platform::CreateFolder(App("bin")) == platform::CreateFolderResult::kCreated);

  const struct {
    const char* what;
    const char* line;
    const char* destination;
    std::size_t old_size;  // 0: no file there before
    const Bytes& installed;
  } cases[] = {
      // Newer and longer than the package's file: still replaced, to exactly the new length.
      {"FILE over a larger, newer file", "File engine.dll\n", "engine.dll", 60000, engine},
      {"FILE of a file not there yet", "File  readme.txt \n", "readme.txt", 0, readme},
      {"FILE into a sub-folder", "File bin\\scan.dat\n", "bin\\scan.dat", 0, scan},
      {"COPYFILEAS under another name", "CopyFileAs readme.txt = renamed.txt\n", "renamed.txt", 10,
       readme},
      {"COPYFILEAS of a file not there yet", "CopyFileAs engine.dll=copy.dll\n", "copy.dll", 0,
       engine},
  };
  const package::TimeStamp newer = Stamp(2030, 1, 2, 3, 4, 6);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string destination = App(c.destination);
    const std::string backup = Backup(base::FileNameOf(destination));
    const Bytes old_content = Pattern(c.old_size, 9);
    if (c.old_size > 0) {
      ASSERT_TRUE(WriteFileBytes(destination, old_content));
      ASSERT_TRUE(package::SetFileTimeStamp(destination, newer));
    }

    EXPECT_EQ(Run(InGo(c.line)), 0);
    EXPECT_TRUE(RanToTheEnd());
    EXPECT_EQ(ReadFileBytes(destination), c.installed);
    EXPECT_EQ(ModificationTime(destination), kPackageTime);
    EXPECT_TRUE(test_support::CreatedWhenWritten(destination));
    EXPECT_EQ(platform::IsFile(backup), c.old_size > 0);
    if (c.old_size > 0) {
      EXPECT_EQ(ReadFileBytes(backup), old_content);
      EXPECT_EQ(ModificationTime(backup), newer);
    }
    EXPECT_EQ(ReportsOf(message::kReplacingFile),
              (std::vector<Report>{{Report::kProgress, message::kReplacingFile, destination},
                                   {Report::kLog, message::kReplacingFile, destination}}));
    EXPECT_EQ(State().final_status_word, 0);
    EXPECT_TRUE(State().direct_copy_mode);
    EXPECT_TRUE(State().reboot_not_needed);
  }
}

TEST_F(InstallCommandsTest, FailuresStopTheSectionAndLeaveTheWorkDirectoryAlone) {
  Package({{"readme.txt", Pattern(300, 4)}, {"damaged.txt", Pattern(200, 5), false}});
  // Main's lines before Go's: none, the work directory app, or one whose path leaves no room for
  // a file name.
  const std::string no_work_directory = "[Main]\nCall Go\n[Go]\n";
  const std::string app = MainWithApp();
  const std::string long_folder = app_ + "\\" + std::string(250 - app_.size(), 'x');
  const std::string too_long =
      "[Main]\nSet long=" + long_folder + "\nSetWorkDir long\nCall Go\n[Go]\n";
  const struct {
    const char* what;
    const std::string& main;
    const char* line;
    Status status;
  } cases[] = {
      {"FILE before SETWORKDIR", no_work_directory, "File readme.txt", 6},
      {"COPYFILEAS before SETWORKDIR", no_work_directory, "CopyFileAs readme.txt=a.txt", 6},
      {"REPLACEFILE before SETWORKDIR", no_work_directory, "ReplaceFile readme.txt", 6},
      {"REPLACEFILEAS before SETWORKDIR", no_work_directory, "ReplaceFileAs readme.txt=a.txt", 6},
      {"COPYFILEAS without \"=\"", app, "CopyFileAs readme.txt", 23},
      {"REPLACEFILEAS without \"=\"", app, "ReplaceFileAs readme.txt", 23},
      {"a name the package does not hold", app, "File missing.txt", 29},
      {"REPLACEFILE of a name the package does not hold", app, "ReplaceFile missing.txt", 29},
      {"a file whose CRC matches no directory record", app, "File damaged.txt", 42},
      {"COPYFILEAS of a damaged file", app, "CopyFileAs damaged.txt=a.txt", 42},
      {"a destination path that does not fit", too_long, "File readme.txt", 6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Run(c.main + c.line + "\nSet after=1\n"), c.status);
    EXPECT_FALSE(RanToTheEnd());
    EXPECT_EQ(FolderNames(app_), Names{});
    EXPECT_EQ(State().final_status_word, 1);
    EXPECT_TRUE(State().direct_copy_mode);
  }
}

// A file whose CRC fails is found out as it is decoded into the package folder, before its
// destination is opened: the product's file keeps its content and time, and has no backup.
TEST_F(InstallCommandsTest, DamagedFileLeavesTheProductFileUntouched) {
  Package({{"damaged.txt", Pattern(200, 5), false}});
  const Bytes product = Pattern(700, 8);
  const package::TimeStamp product_time = Stamp(2001, 2, 3, 4, 5, 6);
  for (const char* line :
       {"File damaged.txt", "CopyFileAs damaged.txt=damaged.txt", "ReplaceFile damaged.txt"}) {
    SCOPED_TRACE(line);
    ASSERT_TRUE(WriteFileBytes(App("damaged.txt"), product));
    ASSERT_TRUE(package::SetFileTimeStamp(App("damaged.txt"), product_time));
    EXPECT_EQ(Run(InGo(std::string(line) + "\n")), status::kSignatureFailed);
    EXPECT_EQ(ReadFileBytes(App("damaged.txt")), product);
    EXPECT_EQ(ModificationTime(App("damaged.txt")), product_time);
    EXPECT_EQ(FolderNames(app_), Names{"damaged.txt"});
    EXPECT_EQ(FolderNames(backups_), Names{});
  }
}

// A package file is decoded straight beside its destination and the package folder holds it only
// when a command needs it there; whichever command comes first, a second use of the name sees the
// same bytes, and the run reports the file once.
TEST_F(InstallCommandsTest, SecondUseOfAPackageFileSeesTheSameBytes) {
  const Bytes engine = Pattern(30000, 1);
  Package({{"engine.dll", engine}, {"damaged.txt", Pattern(200, 5), false}});
  const struct {
    const char* what;
    const char* lines;
    Names installed;
    bool in_package_folder;
  } cases[] = {
      {"FILE, then COPYFILEAS",
       "File engine.dll\nCopyFileAs engine.dll=copy.dll\n",
       {"copy.dll", "engine.dll"},
       false},
      {"FILE twice", "File engine.dll\nFile engine.dll\n", {"engine.dll"}, false},
      {"COPYFILEAS, then REPLACEFILEAS",
       "CopyFileAs engine.dll=a.dll\nReplaceFileAs engine.dll=b.dll\n",
       {"a.dll", "b.dll"},
       true},
      {"FILE, then EXTRACTFILESET",
       "File engine.dll\nExtractFileSet engine.dll\n",
       {"engine.dll"},
       true},
      {"EXTRACTFILESET, then FILE",
       "ExtractFileSet engine.dll\nFile engine.dll\n",
       {"engine.dll"},
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test_support::RemoveTree(app_);
    platform::CreateFolder(app_);

    EXPECT_EQ(Run(InGo(c.lines)), 0);
    EXPECT_TRUE(RanToTheEnd());
    EXPECT_EQ(FolderNames(app_), c.installed);
    for (const std::string& name : c.installed)
      EXPECT_EQ(ReadFileBytes(App(name)), engine) << name;
    const std::string fetched = runner_->context().package_folder + "\\engine.dll";
    EXPECT_EQ(platform::IsFile(fetched), c.in_package_folder);
    if (c.in_package_folder) {
      EXPECT_EQ(ReadFileBytes(fetched), engine);
    }
    EXPECT_EQ(ReportsOf(message::kRetrievingFile),
              (std::vector<Report>{{Report::kLog, message::kRetrievingFile, "engine.dll"}}));
  }

  // A file that fails its check leaves nothing behind for a later use to take unchecked.
  test_support::RemoveTree(app_);
  platform::CreateFolder(app_);
  EXPECT_EQ(Run(InGo("CopyFileAs damaged.txt=a.txt\n")), status::kSignatureFailed);
  EXPECT_FALSE(platform::IsFile(runner_->context().package_folder + "\\damaged.txt"));
  EXPECT_EQ(FolderNames(app_), Names{});
}

// A destination that names a device is refused before anything is backed up, written or staged
// (a staging name beside it, "con.1", would never be free): 12, with the path in the log.
TEST_F(InstallCommandsTest, DestinationNamingADeviceFails) {
  Package({{"readme.txt", Pattern(300, 4)}});
  const struct {
    const char* line;
    const char* destination;
  } cases[] = {
      {"CopyFileAs readme.txt=con.txt", "con.txt"},
      {"ReplaceFileAs readme.txt=COM1", "COM1"},
      {"CopyFileAs readme.txt=Nul\\readme.txt", "Nul\\readme.txt"},
  };
  for (const bool direct_copy : {true, false}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.line) + (direct_copy ? "" : ", replacing at restart"));
      EXPECT_EQ(Run(InGo(std::string(c.line) + "\n"), direct_copy), status::kWriteFailed);
      EXPECT_FALSE(RanToTheEnd());
      EXPECT_EQ(ReportsOf(message::kDeviceNotFile),
                (std::vector<Report>{{Report::kLog, message::kDeviceNotFile, App(c.destination)}}));
      EXPECT_EQ(FolderNames(app_), Names{});
      EXPECT_EQ(FolderNames(backups_), Names{});
      EXPECT_EQ(State().final_status_word, 1);
    }
  }
}

TEST_F(InstallCommandsTest, DestinationHeldByAnotherProgram) {
  const Bytes engine = Pattern(5000, 6);
  const Bytes readme = Pattern(800, 7);
  Package({{"engine.dll", engine}, {"readme.txt", readme}});
  const struct {
    const char* what;
    DWORD share;
    Status status;
    bool scheduled;
  } cases[] = {
      // Readable but not writable: the first FILE stages its file for the restart, and so does
      // every later one, without trying to copy.
      {"held with read sharing", FILE_SHARE_READ, 0, true},
      // Not even readable: no backup, so nothing is placed at all.
      {"held without sharing", 0, 35, false},
  };
  const Bytes old_engine = Pattern(4000, 8);
  const Bytes old_readme = Pattern(900, 9);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test_support::PendingRenames pending(scratch_.path());
    test_support::RemoveTree(app_);
    test_support::RemoveTree(backups_);
    platform::CreateFolder(app_);
    platform::CreateFolder(backups_);
    ASSERT_TRUE(WriteFileBytes(App("engine.dll"), old_engine));
    ASSERT_TRUE(WriteFileBytes(App("readme.txt"), old_readme));
    std::optional<HeldFile> held(std::in_place, App("engine.dll"), c.share);
    ASSERT_TRUE(held->IsHeld());

    EXPECT_EQ(Run(InGo("File engine.dll\nFile readme.txt\n")), c.status);
    held.reset();

    EXPECT_EQ(ReadFileBytes(App("engine.dll")), old_engine);
    EXPECT_EQ(ReadFileBytes(App("readme.txt")), old_readme);
    EXPECT_TRUE(ReportsOf(message::kReplacingFile).empty());
    EXPECT_EQ(State().direct_copy_mode, !c.scheduled);
    EXPECT_EQ(State().reboot_not_needed, !c.scheduled);
    EXPECT_EQ(State().final_status_word, c.scheduled ? 0 : 1);
    if (c.scheduled) {
      EXPECT_EQ(FolderNames(app_), (Names{"engine.1", "engine.dll", "readme.1", "readme.txt"}));
      EXPECT_EQ(ReadFileBytes(App("engine.1")), engine);
      EXPECT_EQ(ReadFileBytes(App("readme.1")), readme);
      // The run's journal stays beside its backups until the run ends.
      EXPECT_EQ(FolderNames(backups_), (Names{"ORQBACK.JNL", "engine.dll", "readme.txt"}));
      EXPECT_EQ(ReportsOf(message::kReplacedOnReboot).size(), 2u);
      const test_support::PendingRenames::Pairs ours = pending.Ours();
      EXPECT_TRUE(Holds(ours, {SystemForm(App("engine.1")), SystemForm(App("engine.dll"))}));
      EXPECT_TRUE(Holds(ours, {SystemForm(App("readme.1")), SystemForm(App("readme.txt"))}));
    } else {
      EXPECT_EQ(FolderNames(app_), (Names{"engine.dll", "readme.txt"}));
      EXPECT_EQ(FolderNames(backups_), Names{});
      EXPECT_TRUE(ReportsOf(message::kReplacedOnReboot).empty());
      EXPECT_EQ(pending.Ours(), test_support::PendingRenames::Pairs{});
    }
  }
}

TEST_F(InstallCommandsTest, SetWorkDirTakesAVariablesFolder) {
  Package({{"readme.txt", Pattern(10, 1)}});
  const std::string folder = scratch_ / "work";
  const std::string nested = scratch_ / "a\\b\\c";
  ASSERT_TRUE(test_support::WriteFileText(scratch_ / "plain.txt", "a file, not a folder"));
  const std::string under_a_file = scratch_ / "plain.txt\\sub";
  const struct {
    const char* what;
    std::string value;  // of the variable dir; none: no such variable
    std::string argument;
    Status status;
    std::string work_directory;
    bool created;
  } cases[] = {
      {"the value as it is, not created", folder, "dir", 0, folder, false},
      {"enclosing quotes are dropped", "\"" + folder + "\"", "dir", 0, folder, false},
      {"a lone quote stays", "\"", "dir", 0, "\"", false},
      {"CREATE makes every folder", nested, "dir,CREATE", 0, nested, true},
      {"CREATE with blanks around it", folder, "dir , CREATE ", 0, folder, true},
      {"only the upper-case option creates", folder, "dir,create", 0, folder, false},
      {"a missing variable", "", "nothing", 28, "", false},
      {"an empty value without CREATE", "", "empty", 0, "", false},
      {"an empty value with CREATE", "", "empty,CREATE", 6, "", false},
      {"a folder that cannot be made", under_a_file, "dir,CREATE", 6, under_a_file, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test_support::RemoveTree(scratch_ / "a");
    test_support::RemoveTree(folder);
    const std::string script = "[Main]\nSet dir=" + c.value + "\nSet empty=\nCall Go\n[Go]\n" +
                               "SetWorkDir " + c.argument + "\nSet after=1\n";
    EXPECT_EQ(Run(script), c.status);
    EXPECT_EQ(RanToTheEnd(), c.status == 0);
    EXPECT_EQ(runner_->context().work_directory, c.work_directory);
    EXPECT_EQ(platform::IsFolder(c.work_directory), c.created);
    // The write test leaves nothing behind.
    if (c.created) {
      EXPECT_EQ(FolderNames(c.work_directory), Names{});
    }
  }
}

TEST_F(InstallCommandsTest, InstallFilesRunsOnlyFileLines) {
  const Bytes engine = Pattern(2000, 2);
  const Bytes readme = Pattern(100, 3);
  Package({{"engine.dll", engine}, {"readme.txt", readme}});
  const struct {
    const char* what;
    const char* sections;
    Status status;
    Names installed;
  } cases[] = {
      {"FILE and COPYFILEAS lines",
       "[Files]\nFile readme.txt\nCopyFileAs engine.dll=copy.dll\nFile engine.dll\n",
       0,
       {"copy.dll", "engine.dll", "readme.txt"}},
      // The lines before the SET line stay installed; nothing after it runs.
      {"a SET line fails with 5",
       "[Files]\nFile readme.txt\nSet x=1\nFile engine.dll\n",
       5,
       {"readme.txt"}},
      {"a failing FILE line ends the section",
       "[Files]\nFile readme.txt\nFile missing.txt\nFile engine.dll\n",
       29,
       {"readme.txt"}},
      {"no such section", "[Other]\nFile readme.txt\n", 4, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test_support::RemoveTree(app_);
    platform::CreateFolder(app_);
    EXPECT_EQ(Run(InGo("InstallFiles Files\n", c.sections)), c.status);
    EXPECT_EQ(RanToTheEnd(), c.status == 0);
    EXPECT_EQ(FolderNames(app_), c.installed);
    EXPECT_FALSE(runner_->Variable("x").has_value());
    EXPECT_EQ(ReportsOf(message::kInstallingModule),
              (std::vector<Report>{{Report::kProgress, message::kInstallingModule, ""},
                                   {Report::kLog, message::kInstallingModule, ""}}));
  }
}

TEST_F(InstallCommandsTest, ReplaceFileLetsTheVersionDecide) {
  const Bytes v1 = VersionedDll("versioned_v1");
  const Bytes v2 = VersionedDll("versioned_v2");
  const Bytes v2_rebuilt = VersionedDll("versioned_v2_rebuilt");
  const Bytes v2_german = VersionedDll("versioned_v2_german");
  const Bytes v2_program = VersionedDll("versioned_v2_program");
  for (const Bytes* dll : {&v1, &v2, &v2_rebuilt, &v2_german, &v2_program})
    ASSERT_FALSE(dll->empty());
  // Who places the file: the version installer itself, or the forced copy after it declined.
  enum class By { kVersionInstaller, kForcedCopy, kEither };
  const struct {
    const char* what;
    const char* line;
    const char* destination;
    const Bytes* installed;  // null: no file there before
    const Bytes& packed;
    const Bytes& result;
    By by;
  } cases[] = {
      {"a newer version replaces the file", "ReplaceFile engine.dll\n", "engine.dll", &v1, v2, v2,
       By::kVersionInstaller},
      // Kept, but the command succeeds all the same.
      {"an older version leaves the newer file", "ReplaceFile engine.dll\n", "engine.dll", &v2, v1,
       v2, By::kVersionInstaller},
      {"an equal version replaces the file", "ReplaceFile engine.dll\n", "engine.dll", &v2,
       v2_rebuilt, v2_rebuilt, By::kVersionInstaller},
      // Some systems' version installer refuses another language, others install it.
      {"another language is installed", "ReplaceFile engine.dll\n", "engine.dll", &v2, v2_german,
       v2_german, By::kEither},
      {"another file type is refused, then forced", "ReplaceFile engine.dll\n", "engine.dll", &v1,
       v2_program, v2_program, By::kForcedCopy},
      {"a file not there yet", "ReplaceFile engine.dll\n", "engine.dll", nullptr, v2, v2,
       By::kVersionInstaller},
      {"REPLACEFILEAS under another name", "ReplaceFileAs engine.dll = other.dll\n", "other.dll",
       &v1, v2, v2, By::kVersionInstaller},
      {"REPLACEFILEAS forced under another name", "ReplaceFileAs engine.dll=other.dll\n",
       "other.dll", &v1, v2_program, v2_program, By::kForcedCopy},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Package({{"engine.dll", c.packed}});
    test_support::RemoveTree(app_);
    test_support::RemoveTree(backups_);
    platform::CreateFolder(app_);
    platform::CreateFolder(backups_);
    if (c.installed != nullptr) {
      ASSERT_TRUE(WriteFileBytes(App(c.destination), *c.installed));
    }

    EXPECT_EQ(Run(InGo(c.line)), 0);
    EXPECT_TRUE(RanToTheEnd());
    EXPECT_EQ(ReadFileBytes(App(c.destination)), c.result);
    // Nothing else: the version installer's temporary copy is gone.
    EXPECT_EQ(FolderNames(app_), Names{c.destination});
    if (c.installed != nullptr) {
      EXPECT_EQ(ReadFileBytes(Backup(c.destination)), *c.installed);
    }
    if (c.by != By::kEither) {
      EXPECT_EQ(ReportsOf(message::kReplacingFile).size(), c.by == By::kForcedCopy ? 2u : 0u);
    }
    EXPECT_EQ(State().final_status_word, 0);
  }
}

TEST_F(InstallCommandsTest, ReplaceFileOverAFileInUse) {
  const Bytes v1 = VersionedDll("versioned_v1");
  // Another file type, so that the version installer declines whatever it makes of a file in use.
  const Bytes program = VersionedDll("versioned_v2_program");
  Package({{"engine.dll", program}});
  const Bytes taken = Pattern(10, 1);
  const struct {
    const char* what;
    bool direct_copy;
    const Bytes& destination_after;
    const Bytes& aside_after;  // engine.2, beside a file engine.1 that was there before
    Move queued;
  } cases[] = {
      // Moved aside to the first free number and queued for deletion; the new file takes its name.
      {"direct copy moves it aside", true, program, v1, {SystemForm(App("engine.2")), ""}},
      {"replacement at restart stages the new file",
       false,
       v1,
       program,
       {SystemForm(App("engine.2")), SystemForm(App("engine.dll"))}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test_support::PendingRenames pending(scratch_.path());
    test_support::RemoveTree(app_);
    platform::CreateFolder(app_);
    ASSERT_TRUE(WriteFileBytes(App("engine.dll"), v1));
    ASSERT_TRUE(WriteFileBytes(App("engine.1"), taken));
    // As a loaded program file is held: readable and renamable, not writable.
    std::optional<HeldFile> held(std::in_place, App("engine.dll"),
                                 FILE_SHARE_READ | FILE_SHARE_DELETE);
    ASSERT_TRUE(held->IsHeld());

    EXPECT_EQ(Run(InGo("ReplaceFile engine.dll\n"), c.direct_copy), 0);
    held.reset();
    EXPECT_EQ(ReadFileBytes(App("engine.dll")), c.destination_after);
    EXPECT_EQ(ReadFileBytes(App("engine.2")), c.aside_after);
    EXPECT_EQ(ReadFileBytes(App("engine.1")), taken);
    EXPECT_TRUE(Holds(pending.Ours(), c.queued));
    EXPECT_EQ(State().direct_copy_mode, c.direct_copy);
    EXPECT_EQ(State().reboot_not_needed, c.direct_copy);
    EXPECT_EQ(State().final_status_word, 0);
  }
}

}  // namespace

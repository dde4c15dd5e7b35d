// DELETEFILE, EXTRACTFILESET and CLONESELF; the probing and version commands have tests of their
// own.

#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "install/repair_cache.h"
#include "platform/filesystem.h"
#include "platform/win32/registry_key.h"
#include "script_in_folder.h"
#include "script_runner.h"
#include "test_package.h"
#include "test_support.h"

namespace {

using Report = test_support::RecordingReporter::Report;
using platform::RegistryKey;
using test_support::MainStopped;
using test_support::RunInFolder;
using test_support::ScratchFolder;
using test_support::ScriptRunner;

TEST(DeleteFileCommand, DeletesAndOnlyNotesAFailure) {
  const struct {
    const char* what;
    std::string script;       // {work} and {other} stand for the two folders
    const char* file;         // relative to the folder it is made in, if any
    bool in_other_folder;     // made in the other folder rather than the work folder
    const char* logged_path;  // relative to that folder
    bool deleted;
  } cases[] = {
      {"a name in the work folder", "DeleteFile old.dll", "old.dll", false, "old.dll", true},
      {"a path with its own folder", "DeleteFile {other}\\old.dll", "old.dll", true, "old.dll",
       true},
      {"a variable naming the path", "Set f={other}\\old.dll\nDeleteFile f", "old.dll", true,
       "old.dll", true},
      {"a missing file", "DeleteFile gone.dll", nullptr, false, "gone.dll", false},
      {"a path whose folder does not exist is taken in the work folder",
       "DeleteFile nofolder\\old.dll", nullptr, false, "nofolder\\old.dll", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder work, other;
    const ScratchFolder& home = c.in_other_folder ? other : work;
    if (c.file != nullptr) {
      ASSERT_TRUE(test_support::WriteFileText(home / c.file, "old"));
    }
    std::string script = "[Main]\n" + c.script + "\n";
    for (const auto& [mark, folder] : {std::pair{"{work}", &work}, std::pair{"{other}", &other}}) {
      for (std::size_t at; (at = script.find(mark)) != std::string::npos;)
        script.replace(at, std::string(mark).size(), folder->path());
    }
    ScriptRunner runner;
    EXPECT_EQ(RunInFolder(runner, work.path(), script), status::kOk);
    EXPECT_FALSE(MainStopped(runner));
    EXPECT_EQ(runner.ReportsOf(message::kDeleting),
              std::vector<Report>({{Report::kLog, message::kDeleting, home / c.logged_path}}));
    if (c.deleted) {
      EXPECT_FALSE(platform::IsFile(home / c.file));
      EXPECT_EQ(runner.context().command_status, 0);
      EXPECT_TRUE(runner.ReportsOf(message::kDeleteFailed).empty());
    } else {
      EXPECT_EQ(runner.context().command_status, status::kDeleteFailed);
      EXPECT_EQ(runner.ReportsOf(message::kDeleteFailed),
                std::vector<Report>({{Report::kLog, message::kDeleteFailed, ""}}));
    }
  }
}

// A main set holding A.DAT and B.DAT.
class ExtractFileSet : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test_support::WriteFileBytes(
        set_path_, test_package::SignedSet({test_package::FixtureEntry("A.DAT", "abc"),
                                            test_package::FixtureEntry("B.DAT", "license-gpl3")})));
    set_ = package::OpenPackageFile(set_path_);
    ASSERT_TRUE(set_.IsOpen());
  }

  std::uint32_t CrcOf(const char* stem) const {
    return test_package::FileCrc(test_package::Original(stem));
  }

  ScratchFolder root_;
  std::string set_path_ = root_ / "ORQ1.tmp";
  package::PackageFile set_;
};

TEST_F(ExtractFileSet, FetchesEachItemUntilOneFails) {
  const struct {
    const char* what;
    const char* list;
    std::uint32_t a_crc_flip;  // damages A.DAT's directory record
    Status status;
    bool a_fetched;  // a file that failed its check is not kept
    bool b_fetched;
  } cases[] = {
      {"both", "a.dat, B.DAT", 0, status::kOk, true, true},
      {"a failing first stops the list", "A.DAT, B.DAT", 1, status::kSignatureFailed, false, false},
      {"an empty item ends the list", "A.DAT,, B.DAT", 0, status::kOk, true, false},
      {"a name not in the set", "C.DAT, B.DAT", 0, status::kExtractFailed, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    package::PackageDescriptor descriptor;
    descriptor.directory.Append(test_package::Record("A.DAT", CrcOf("abc") ^ c.a_crc_flip));
    descriptor.directory.Append(test_package::Record("B.DAT", CrcOf("license-gpl3")));
    descriptor.directory.Append(test_package::Record("C.DAT", CrcOf("abc")));
    ScriptRunner runner(set_, descriptor);
    EXPECT_EQ(RunInFolder(runner, root_.path(), std::string("[Main]\nExtractFileSet ") + c.list),
              c.status);
    EXPECT_EQ(MainStopped(runner), c.status != status::kOk);
    EXPECT_EQ(platform::IsFile(runner.package_folder() + "\\A.DAT"), c.a_fetched);
    EXPECT_EQ(platform::IsFile(runner.package_folder() + "\\B.DAT"), c.b_fetched);
  }
}

constexpr char kVendorKey[] = "SOFTWARE\\Velkor";
constexpr char kProductKey[] = "SOFTWARE\\Velkor\\DesktopProtection";

bool KeyExists(const char* path) {
  return RegistryKey::Open(HKEY_LOCAL_MACHINE, path, KEY_READ).IsOpen();
}

// The product key is shared with other runs in the prefix: what it held before a test is put
// back afterwards, and the keys a test made are removed.
class ProductKeyGuard {
 public:
  ProductKeyGuard() : vendor_existed_(KeyExists(kVendorKey)) {
    const RegistryKey key = RegistryKey::Open(HKEY_LOCAL_MACHINE, kProductKey, KEY_READ);
    product_existed_ = key.IsOpen();
    for (DWORD i = 0; key.IsOpen(); ++i) {
      std::array<char, 16384> name{};
      DWORD name_size = name.size();
      Value value;
      std::array<BYTE, 4096> data{};
      DWORD data_size = data.size();
      if (::RegEnumValueA(key.Handle(), i, name.data(), &name_size, nullptr, &value.type,
                          data.data(), &data_size) != ERROR_SUCCESS) {
        break;
      }
      value.name.assign(name.data(), name_size);
      value.data.assign(data.begin(), data.begin() + data_size);
      values_.push_back(std::move(value));
    }
  }
  ~ProductKeyGuard() {
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kProductKey);
    if (product_existed_) {
      const RegistryKey key = RegistryKey::Create(HKEY_LOCAL_MACHINE, kProductKey, KEY_WRITE);
      ::RegDeleteValueA(key.Handle(), "szInstallDir");
      for (const Value& value : values_) {
        ::RegSetValueExA(key.Handle(), value.name.c_str(), 0, value.type, value.data.data(),
                         static_cast<DWORD>(value.data.size()));
      }
    } else if (!vendor_existed_) {
      ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kVendorKey);
    }
  }
  ProductKeyGuard(const ProductKeyGuard&) = delete;
  ProductKeyGuard& operator=(const ProductKeyGuard&) = delete;

  // False when the key stays (it has subkeys of another run's).
  bool RemoveKey() {
    const LONG result = ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kProductKey);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
  }
  // none: the key without the value.
  bool SetInstallDir(const std::optional<std::string>& folder) {
    const RegistryKey key = RegistryKey::Create(HKEY_LOCAL_MACHINE, kProductKey, KEY_WRITE);
    if (!key.IsOpen())
      return false;
    if (!folder) {
      const LONG result = ::RegDeleteValueA(key.Handle(), "szInstallDir");
      return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
    }
    return ::RegSetValueExA(key.Handle(), "szInstallDir", 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(folder->c_str()),
                            static_cast<DWORD>(folder->size() + 1)) == ERROR_SUCCESS;
  }

 private:
  struct Value {
    std::string name;
    DWORD type = 0;
    std::vector<BYTE> data;
  };
  bool vendor_existed_;
  bool product_existed_ = false;
  std::vector<Value> values_;
};

std::string OwnPath() {
  std::array<char, MAX_PATH> path{};
  ::GetModuleFileNameA(nullptr, path.data(), path.size());
  return path.data();
}

std::string LowerCase(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c + 32);
  }
  return text;
}

class CloneSelf : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(guard_.SetInstallDir(product_.path() + "\\"));
    ASSERT_TRUE(runner_.Load("[Main]\r\n") == status::kOk);
  }

  std::string CachePath() const { return product_ / "RepairCache\\QKR87ZPX.EXE"; }

  ProductKeyGuard guard_;
  ScratchFolder product_;
  ScriptRunner runner_;
};

TEST_F(CloneSelf, CopiesTheRunningInstallerIntoTheRepairCache) {
  ASSERT_EQ(platform::CreateFolder(product_ / "RepairCache"),
            platform::CreateFolderResult::kCreated);
  ScriptRunner runner;
  EXPECT_EQ(RunInFolder(runner, product_.path(), "[Main]\nCloneSelf\n"), status::kOk);
  EXPECT_EQ(test_support::ReadFileBytes(CachePath()), test_support::ReadFileBytes(OwnPath()));
  EXPECT_TRUE(runner.state.direct_copy_mode);
}

TEST_F(CloneSelf, WithoutTheCacheFolderSwitchesToReplacementAtRestart) {
  ScriptRunner runner;
  EXPECT_EQ(RunInFolder(runner, product_.path(), "[Main]\nCloneSelf\n"), status::kNoRun);
  EXPECT_TRUE(MainStopped(runner));
  EXPECT_FALSE(runner.state.direct_copy_mode);
  EXPECT_FALSE(runner.state.reboot_not_needed);
  EXPECT_FALSE(platform::IsFolder(product_ / "RepairCache"));
}

TEST_F(CloneSelf, AnInstallerRunningFromTheCacheIsLeftAlone) {
  // Were it copied, the missing cache folder would fail the copy with 33.
  EXPECT_EQ(install::CloneIntoRepairCache(runner_.context(), LowerCase(CachePath())), status::kOk);
  EXPECT_TRUE(runner_.state.direct_copy_mode);
  EXPECT_TRUE(runner_.state.reboot_not_needed);
  EXPECT_FALSE(platform::IsFolder(product_ / "RepairCache"));
}

TEST_F(CloneSelf, CachePathIsTheInstallFolderTextWithTheCacheNameAppended) {
  const std::string long_folder(250, 'd');
  const struct {
    const char* what;
    std::optional<std::string> install_dir;
    std::string cache_path;
  } cases[] = {
      {"no separator is added", "C:\\Product", "C:\\ProductRepairCache\\QKR87ZPX.EXE"},
      {"no value", std::nullopt, "RepairCache\\QKR87ZPX.EXE"},
      {"cut to 259 characters", "C:\\" + long_folder,
       ("C:\\" + long_folder + "RepairCache\\QKR87ZPX.EXE").substr(0, 259)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(guard_.SetInstallDir(c.install_dir));
    EXPECT_EQ(install::RepairCachePath(), c.cache_path);
  }
}

TEST_F(CloneSelf, WithoutTheProductKeyFails) {
  if (!guard_.RemoveKey())
    GTEST_SKIP() << "the product key has subkeys of another run";
  ScriptRunner runner;
  EXPECT_EQ(RunInFolder(runner, product_.path(), "[Main]\nCloneSelf\n"),
            status::kRegistryKeyFailed);
  EXPECT_TRUE(MainStopped(runner));
  EXPECT_EQ(install::RepairCachePath(), std::nullopt);
}

}  // namespace

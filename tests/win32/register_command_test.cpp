// REGISTER through the system's registration tool, against a COM library (tests/helpers/
// com_register.cpp) whose registration writes a key of the current user; with programs named like
// the tool planted in the work directory and the current folder, which leave a sign if started.

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "command_test.h"
#include "saved_registry.h"
#include "script/command_table.h"
#include "script_in_folder.h"
#include "test_process.h"
#include "test_support.h"

namespace {

using test_support::HelperPath;
using test_support::SavedRegistryKey;
using test_support::ScratchFolder;
using test_support::WaitUntil;

constexpr char kRegisteredKey[] = "Software\\OmniPackTests\\ComRegister";

// The library the registration recorded; none before it ran.
std::optional<std::string> RegisteredLibrary() {
  const std::optional<test_support::RegistryTree> tree =
      test_support::ReadRegistryTree(HKEY_CURRENT_USER, kRegisteredKey);
  if (!tree || !tree->values.contains("Library"))
    return std::nullopt;
  const std::vector<BYTE>& bytes = tree->values.at("Library").bytes;
  return std::string(bytes.begin(), bytes.end() - (bytes.empty() ? 0 : 1));
}

bool Exists(const std::string& path) {
  return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class RegisterCommand : public test_support::CommandTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(saved_.Ready());
    for (const ScratchFolder* folder : {&work_, &current_}) {
      ASSERT_TRUE(::CopyFileA(HelperPath("run_marker.exe").c_str(),
                              (*folder / "regsvr32.exe").c_str(), TRUE));
    }
    ASSERT_TRUE(::CopyFileA(HelperPath("com_register.dll").c_str(), library_.c_str(), TRUE));
  }
  bool PlantedToolRan() const {
    return Exists(work_ / "regsvr32.exe.ran") || Exists(current_ / "regsvr32.exe.ran");
  }

  SavedRegistryKey saved_{HKEY_CURRENT_USER, "Software\\OmniPackTests"};
  ScratchFolder work_;
  ScratchFolder current_;
  test_support::CurrentFolder inside_{current_.path()};
  std::string library_ = work_ / "com_register.dll";
};

TEST_F(RegisterCommand, RegistersTheLibraryOfTheWorkDirectoryWithTheSystemsTool) {
  context.work_directory = work_.path();
  EXPECT_EQ(Run(script::opcode::kRegister, " com_register.dll "), status::kOk);
  EXPECT_FALSE(Stopped());
  EXPECT_TRUE(WaitUntil([] { return RegisteredLibrary().has_value(); }));
  EXPECT_EQ(RegisteredLibrary(), library_);
  EXPECT_FALSE(PlantedToolRan());
}

TEST_F(RegisterCommand, WithoutWorkDirectoryOrLibraryNothingRuns) {
  const struct {
    const char* name;
    std::string work_directory;
    std::string argument;
    Status status;
  } cases[] = {
      {"no work directory", "", "com_register.dll", status::kWorkDirFailed},
      {"missing library", work_.path(), "missing.dll", status::kOk},
      {"no argument", work_.path(), "", status::kOk},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    context.work_directory = c.work_directory;
    EXPECT_EQ(Run(script::opcode::kRegister, c.argument), c.status);
    EXPECT_EQ(Stopped(), c.status != status::kOk);
  }
  // Whatever the tool would have done is done within this time.
  ::Sleep(2000);
  EXPECT_EQ(RegisteredLibrary(), std::nullopt);
  EXPECT_FALSE(PlantedToolRan());
}

}  // namespace

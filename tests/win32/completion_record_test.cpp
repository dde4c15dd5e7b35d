// The completion record in the registry of the Wine prefix. The tests create only the keys that
// are missing and delete exactly those afterwards; older record values are put back.

#include "shell/completion_record.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>

#include "platform/win32/registry_key.h"

namespace {

using platform::RegistryKey;

const std::array<std::string, 4> kRecordChain = {
    "SOFTWARE\\Torvane Partners", "SOFTWARE\\Torvane Partners\\QNT",
    "SOFTWARE\\Torvane Partners\\QNT\\Shared Components",
    "SOFTWARE\\Torvane Partners\\QNT\\Shared Components\\OmniPack"};

bool KeyExists(const std::string& path) {
  return RegistryKey::Open(HKEY_LOCAL_MACHINE, path.c_str(), KEY_READ).IsOpen();
}

std::optional<DWORD> ReadDword(const char* name) {
  const RegistryKey key =
      RegistryKey::Open(HKEY_LOCAL_MACHINE, shell::kCompletionRecordKey, KEY_READ);
  DWORD type = 0;
  DWORD value = 0;
  DWORD size = sizeof value;
  if (!key.IsOpen() || ::RegQueryValueExA(key.Handle(), name, nullptr, &type,
                                          reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS)
    return std::nullopt;
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(size, 4u);
  return value;
}

void RestoreDword(const char* name, std::optional<DWORD> value) {
  const RegistryKey key =
      RegistryKey::Open(HKEY_LOCAL_MACHINE, shell::kCompletionRecordKey, KEY_SET_VALUE);
  if (!key.IsOpen())
    return;
  if (value)
    ::RegSetValueExA(key.Handle(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&*value),
                     sizeof *value);
  else
    ::RegDeleteValueA(key.Handle(), name);
}

// Remembers which keys of the record's path exist and the record's values, and puts all of it
// back afterwards.
class CompletionRecordTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (std::size_t i = 0; i < kRecordChain.size(); ++i)
      existed_[i] = KeyExists(kRecordChain[i]);
    completion_ = ReadDword("CompletionSuccess");
    reboot_ = ReadDword("RebootRequired");
  }
  void TearDown() override {
    RestoreDword("CompletionSuccess", completion_);
    RestoreDword("RebootRequired", reboot_);
    for (std::size_t i = kRecordChain.size(); i-- > 0;) {
      if (!existed_[i])
        ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kRecordChain[i].c_str());
    }
  }

  std::array<bool, 4> existed_{};
  std::optional<DWORD> completion_;
  std::optional<DWORD> reboot_;
};

TEST_F(CompletionRecordTest, NothingIsWrittenWithoutTheVendorKey) {
  if (existed_[0])
    GTEST_SKIP() << "this prefix already has " << kRecordChain[0];
  shell::WriteCompletionRecord(status::kSignatureFailed, false);
  EXPECT_FALSE(KeyExists(kRecordChain[0]));
}

TEST_F(CompletionRecordTest, RecordIsMadeBelowTheVendorKeyAndOverwritten) {
  ASSERT_TRUE(RegistryKey::Create(HKEY_LOCAL_MACHINE, kRecordChain[0].c_str(), KEY_READ).IsOpen());
  const struct {
    Status result;
    bool reboot_not_needed;
    DWORD completion;
    DWORD reboot_required;
  } runs[] = {
      {status::kOk, false, 0, 1},
      {status::kProductMissing, true, 43, 0},
      {-1, false, 0xFFFFFFFF, 1},
      {status::kOk, true, 0, 0},
  };
  for (const auto& run : runs) {
    SCOPED_TRACE(run.result);
    shell::WriteCompletionRecord(run.result, run.reboot_not_needed);
    EXPECT_EQ(ReadDword("CompletionSuccess"), run.completion);
    EXPECT_EQ(ReadDword("RebootRequired"), run.reboot_required);
  }
}

}  // namespace

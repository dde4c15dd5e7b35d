// The registry commands against the prefix's registry, in scratch keys of their own under each of
// the three roots; every case starts from the same seeded keys.

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "command_test.h"
#include "saved_registry.h"
#include "script/command_table.h"
#include "script_runner.h"

namespace {

using Report = test_support::RecordingReporter::Report;
using test_support::Binary;
using test_support::Dword;
using test_support::ReadRegistryTree;
using test_support::RegistryData;
using test_support::RegistryLines;
using test_support::RegistryTree;
using test_support::SavedRegistryKey;
using test_support::Sz;
namespace opcode = script::opcode;

constexpr char kScratch[] = "Software\\OmniPackRegistryTest";
// HKLU is HKEY_USERS: its scratch key lies under the default user's hive.
constexpr char kUsersScratch[] = ".DEFAULT\\Software\\OmniPackRegistryTest";

// {cu}, {lm} and {lu} in a case's text stand for the scratch key under each root, as scripts
// write it.
std::string Expand(std::string text) {
  const std::pair<std::string, std::string> marks[] = {
      {"{cu}", std::string("HKCU\\") + kScratch},
      {"{lm}", std::string("HKLM\\") + kScratch},
      {"{lu}", std::string("HKLU\\") + kUsersScratch},
  };
  for (const auto& [mark, path] : marks) {
    for (std::size_t at; (at = text.find(mark)) != std::string::npos;)
      text.replace(at, mark.size(), path);
  }
  return text;
}

RegistryData Raw(DWORD type, std::string bytes) {
  return {type, std::vector<BYTE>(bytes.begin(), bytes.end())};
}

// The scratch key of the current user as every case starts with it.
RegistryTree SeededTree() {
  RegistryTree tree;
  tree.values = {
      {"", Sz("default text")},
      {"Text", Sz("hello")},
      {"Empty", Sz("")},
      {"ZeroText", Sz("0")},
      {"Max", Dword(4294967295u)},
      {"Zero", Dword(0)},
      {"One", Dword(1)},
      {"TwoFiftySix", Dword(256)},
      {"Multi", Raw(REG_MULTI_SZ, std::string("a\0b\0\0", 5))},
      {"Expand", Raw(REG_EXPAND_SZ, std::string("%TEMP%\\x\0", 9))},
      {"Bytes", Binary(std::string("ab\0cd", 5))},
      {"FullBytes", Binary(std::string(260, 'b'))},
      {"Longest", Sz(std::string(259, 'x'))},
      {"TooLong", Sz(std::string(260, 'x'))},
      {"BigEndian", Raw(REG_DWORD_BIG_ENDIAN, std::string("\0\0\0\1", 4))},
      {"Nothing", Raw(REG_NONE, "")},
      {"a,b", Sz("comma")},
      {"Where", Sz("current user")},
  };
  tree.At("Leaf");
  tree.At("A,B");
  tree.At("Tree\\A\\B").values = {{"Deep", Dword(7)}};
  tree.At("Tree\\C");
  return tree;
}

class RegistryCommands : public test_support::CommandTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(saved_user_.Ready() && saved_machine_.Ready() && saved_users_.Ready());
    Reseed();
  }

  // Every case starts from the seeded keys.
  void Reseed() {
    RegistryTree users;
    users.values = {{"Where", Sz("users")}};
    ASSERT_TRUE(test_support::RemoveRegistryTree(HKEY_CURRENT_USER, kScratch));
    ASSERT_TRUE(test_support::WriteRegistryTree(HKEY_CURRENT_USER, kScratch, SeededTree()));
    ASSERT_TRUE(test_support::WriteRegistryTree(HKEY_LOCAL_MACHINE, kScratch, RegistryTree()));
    ASSERT_TRUE(test_support::RemoveRegistryTree(HKEY_USERS, kUsersScratch));
    ASSERT_TRUE(test_support::WriteRegistryTree(HKEY_USERS, kUsersScratch, users));
    reporter.reports.clear();
    context.variables = script::VariableTable();
  }

  // The current user's scratch key now.
  RegistryTree UserTree() const {
    return ReadRegistryTree(HKEY_CURRENT_USER, kScratch).value_or(RegistryTree());
  }

  SavedRegistryKey saved_user_{HKEY_CURRENT_USER, kScratch};
  SavedRegistryKey saved_machine_{HKEY_LOCAL_MACHINE, kScratch};
  SavedRegistryKey saved_users_{HKEY_USERS, kUsersScratch};
};

TEST_F(RegistryCommands, FindRegKeyEndsTheSectionWhenTheKeyIsMissing) {
  const struct {
    const char* argument;
    Status status;
    Status command_status;  // 14: the key was not found
    bool stopped;
  } cases[] = {
      {"{cu}", status::kOk, 0, false},
      {"hkcu\\software\\omnipackregistrytest", status::kOk, 0, false},
      {"{cu}\\Missing", status::kOk, status::kRegistryKeyFailed, true},
      {"{lm}", status::kOk, 0, false},
      {"{lu}", status::kOk, 0, false},
      // HKLU is not the current user.
      {"HKLU\\Software\\OmniPackRegistryTest", status::kOk, status::kRegistryKeyFailed, true},
      // A comma is part of the key's name.
      {"{cu}\\A,B", status::kOk, 0, false},
      {"{cu}\\Leaf,B", status::kOk, status::kRegistryKeyFailed, true},
      {"HKLM\\", status::kOk, 0, false},
      {"HKLM", status::kNoRegistryRoot, 0, true},
      {"HKCR\\Software", status::kNoRegistryRoot, 0, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.argument);
    EXPECT_EQ(Run(opcode::kFindRegKey, Expand(c.argument)), c.status);
    EXPECT_EQ(context.command_status, c.command_status);
    EXPECT_EQ(Stopped(), c.stopped);
  }
}

// A section of FINDREGKEY lines called by CONTINUEIF is a condition: a missing key ends the
// caller without failing the run.
TEST_F(RegistryCommands, FindRegKeyUnderContinueIfIsACondition) {
  const struct {
    const char* key;
    bool present;
  } cases[] = {{"{cu}\\Tree\\A", true}, {"{cu}\\Tree\\Missing", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    test_support::ScriptRunner runner;
    const std::string script = Expand(std::string("[Main]\nCall Detect\nSet after=1\n"
                                                  "[Detect]\nContinueIf Product\nSet found=1\n"
                                                  "[Product]\nFindRegKey {cu}\nFindRegKey ") +
                                      c.key + "\n");
    EXPECT_EQ(runner.Run(test_support::Crlf(script)), status::kOk);
    EXPECT_EQ(runner.Variable("found"), c.present ? std::optional<std::string>("1") : std::nullopt);
    EXPECT_EQ(runner.Variable("after"), "1");
  }
}

TEST_F(RegistryCommands, GetRegValueReadsEveryTextTypeAndNumbers) {
  const struct {
    const char* argument;
    Status status;
    std::optional<std::string> value;  // of v; none: v is not set
  } cases[] = {
      {"v = {cu}, Text", status::kOk, "hello"},
      {"v={cu},Max", status::kOk, "4294967295"},
      {"v = {cu}, Zero", status::kOk, "0"},
      {"v = {cu}, Multi", status::kOk, "a"},
      {"v = {cu}, Expand", status::kOk, "%TEMP%\\x"},
      {"v = {cu}, Bytes", status::kOk, "ab"},
      {"v = {cu}, FullBytes", status::kOk, std::string(259, 'b')},
      {"v = {cu}, Longest", status::kOk, std::string(259, 'x')},
      {"v = {cu},", status::kOk, "default text"},
      {"v = {cu}, a,b", status::kOk, "comma"},
      {"v = {lu}, Where", status::kOk, "users"},
      {"v = hkcu\\Software\\OmniPackRegistryTest, Where", status::kOk, "current user"},
      {"v = {cu}, TooLong", status::kRegistryReadFailed, std::nullopt},
      {"v = {cu}, Missing", status::kRegistryReadFailed, std::nullopt},
      {"v = {cu}, BigEndian", status::kInvalidValue, std::nullopt},
      {"v = {cu}, Nothing", status::kInvalidValue, std::nullopt},
      {"v = {cu}\\Missing, Text", status::kRegistryKeyFailed, std::nullopt},
      {"v = {cu}", status::kSubkeyNotFound, std::nullopt},
      {"v = HKXX\\Software, Text", status::kNoRegistryRoot, std::nullopt},
      {"v = HKCU, Text", status::kNoRegistryRoot, std::nullopt},
      {"{cu}, Text", status::kNowhereToPutValue, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.argument);
    Reseed();
    EXPECT_EQ(Run(opcode::kGetRegValue, Expand(c.argument)), c.status);
    EXPECT_EQ(Variable("v"), c.value);
    EXPECT_EQ(Stopped(), c.status != status::kOk);
  }
}

TEST_F(RegistryCommands, FindRegValueTestsTheFirstDataByteAndNeverStopsTheSection) {
  const struct {
    const char* argument;
    Status status;
    std::optional<std::string> value;
  } cases[] = {
      {"v = {cu}, One", status::kOk, "1"},
      // Only the first byte counts: 256 begins with a zero byte, the text "0" does not.
      {"v = {cu}, TwoFiftySix", status::kOk, "0"},
      {"v = {cu}, ZeroText", status::kOk, "1"},
      {"v = {cu}, Empty", status::kOk, "0"},
      {"v = {cu}, Missing", status::kOk, "0"},
      {"v = {cu}, TooLong", status::kOk, "0"},
      {"v = {cu},", status::kOk, "1"},
      {"v = {cu}\\Missing, One", status::kRegistryKeyFailed, std::nullopt},
      {"v = HKCU, One", status::kNoRegistryRoot, std::nullopt},
      {"v = {cu}", status::kSubkeyNotFound, std::nullopt},
      {"{cu}, One", status::kNowhereToPutValue, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.argument);
    Reseed();
    EXPECT_EQ(Run(opcode::kFindRegValue, Expand(c.argument)), c.status);
    EXPECT_EQ(Variable("v"), c.value);
    EXPECT_FALSE(Stopped());
  }
}

TEST_F(RegistryCommands, SetRegValueWritesTheVariablesValueByType) {
  const struct {
    const char* variable;  // the value of n
    const char* argument;
    Status status;
    std::optional<RegistryData> written;  // the value New afterwards; none: not there
  } cases[] = {
      {"0x1F", "{cu}, New = n, dword", status::kOk, Dword(31)},
      {"0X1f", "{cu}, New = n, DWORD", status::kOk, Dword(31)},
      {"4294967295", "{cu}, New = n, DWORD", status::kOk, Dword(4294967295u)},
      {"0xFFFFFFFF", "{cu}, New = n, DWORD", status::kOk, Dword(4294967295u)},
      {"007", "{cu}, New = n, DWORD", status::kOk, Dword(7)},
      {"", "{cu}, New = n, DWORD", status::kOk, Dword(0)},
      {"0x", "{cu}, New = n, DWORD", status::kOk, Dword(0)},
      {"0x1G", "{cu}, New = n, DWORD", status::kBadHexNumber, std::nullopt},
      {"12a", "{cu}, New = n, DWORD", status::kBadDecimalNumber, std::nullopt},
      {"-1", "{cu}, New = n, DWORD", status::kBadDecimalNumber, std::nullopt},
      {"4294967296", "{cu}, New = n, DWORD", status::kNumberOutOfRange, std::nullopt},
      {"0x100000000", "{cu}, New = n, DWORD", status::kNumberOutOfRange, std::nullopt},
      {"99999999999999999999", "{cu}, New = n, DWORD", status::kNumberOutOfRange, std::nullopt},
      {"a b", "{cu}, New = n", status::kOk, Sz("a b")},
      {"a b", "{cu}, New = n, text", status::kOk, Sz("a b")},
      {"ab", "{cu}, New = n, Binary", status::kOk, Binary("ab")},
      {"x", "{cu}, New = literal", status::kSymbolNotFound, std::nullopt},
      {"x", "{cu}\\Missing, New = n", status::kRegistryKeyFailed, std::nullopt},
      {"x", "{cu}, New", status::kValueNotFound, std::nullopt},
      {"x", "{cu}", status::kSubkeyNotFound, std::nullopt},
      {"x", "HKXX\\Software, New = n", status::kNoRegistryRoot, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.argument) + " with n = " + c.variable);
    Reseed();
    ASSERT_EQ(context.variables.Set("n", c.variable), status::kOk);
    RegistryTree expected = SeededTree();
    if (c.written)
      expected.values["New"] = *c.written;
    EXPECT_EQ(Run(opcode::kSetRegValue, Expand(c.argument)), c.status);
    EXPECT_EQ(Stopped(), c.status != status::kOk);
    // Nothing else changes; a missing key is not made.
    EXPECT_EQ(RegistryLines(UserTree()), RegistryLines(expected));
  }
  // HKLU writes below HKEY_USERS.
  Reseed();
  ASSERT_EQ(context.variables.Set("n", "x"), status::kOk);
  EXPECT_EQ(Run(opcode::kSetRegValue, Expand("{lu}, New = n")), status::kOk);
  EXPECT_EQ(ReadRegistryTree(HKEY_USERS, kUsersScratch).value_or(RegistryTree()).values["New"],
            Sz("x"));
  EXPECT_EQ(RegistryLines(UserTree()), RegistryLines(SeededTree()));
}

TEST_F(RegistryCommands, CreateRegKeyMakesSubkeysBelowAnExistingKey) {
  const struct {
    const char* argument;
    Status status;
    const char* made;  // the subkey path expected in the scratch key; null: nothing is made
  } cases[] = {
      {"{cu}, One\\Two\\Three", status::kOk, "One\\Two\\Three"},
      {"{cu} , Single", status::kOk, "Single"},
      {"{cu}, Tree\\A", status::kOk, nullptr},  // exists already
      {"{cu}\\Missing, Sub", status::kRegistryKeyFailed, nullptr},
      // Without a second item there is nothing to make.
      {"{cu}\\Leaf", status::kSubkeyNotFound, nullptr},
      {"{cu}\\Leaf,", status::kSubkeyNotFound, nullptr},
      {"HKXX\\Software, Sub", status::kNoRegistryRoot, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.argument);
    Reseed();
    RegistryTree expected = SeededTree();
    if (c.made != nullptr)
      expected.At(c.made);
    EXPECT_EQ(Run(opcode::kCreateRegKey, Expand(c.argument)), c.status);
    EXPECT_EQ(Stopped(), c.status != status::kOk);
    EXPECT_EQ(RegistryLines(UserTree()), RegistryLines(expected));
  }
}

// DELETEREGKEY and DELETEREGVALUE never fail: what they cannot delete is logged.
TEST_F(RegistryCommands, DeleteCommandsDeleteOrLogWithoutFailing) {
  const struct {
    script::Opcode opcode;
    const char* argument;
    const char* deleted;  // a subkey of the scratch key, or a value ("=name"); null: nothing
    MessageId logged;     // 0: nothing
  } cases[] = {
      {opcode::kDeleteRegKey, "{cu}\\Leaf", "Leaf", 0},
      {opcode::kDeleteRegKey, "{cu}\\Tree, TRUE", "Tree", 0},
      {opcode::kDeleteRegKey, "{cu}\\Tree\\A, true", "Tree\\A", 0},
      // Without TRUE a key with subkeys stays.
      {opcode::kDeleteRegKey, "{cu}\\Tree", nullptr, message::kRegKeyDeleteFailed},
      {opcode::kDeleteRegKey, "{cu}\\Tree, FALSE", nullptr, message::kRegKeyDeleteFailed},
      {opcode::kDeleteRegKey, "{cu}\\Missing, TRUE", nullptr, message::kRegKeyDeleteFailed},
      {opcode::kDeleteRegKey, "HKXX\\Software\\Tree", nullptr, message::kRegKeyDeleteFailed},
      {opcode::kDeleteRegValue, "{cu}, Text", "=Text", 0},
      {opcode::kDeleteRegValue, "{cu}", "=", 0},
      {opcode::kDeleteRegValue, "{cu},", "=", 0},
      {opcode::kDeleteRegValue, "{cu}, Missing", nullptr, message::kRegValueDeleteFailed},
      {opcode::kDeleteRegValue, "{cu}\\Missing, Text", nullptr, message::kRegValueDeleteFailed},
      {opcode::kDeleteRegValue, "HKXX\\Software, Text", nullptr, message::kRegValueDeleteFailed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.argument);
    Reseed();
    RegistryTree expected = SeededTree();
    if (c.deleted != nullptr && c.deleted[0] == '=') {
      expected.values.erase(c.deleted + 1);
    } else if (c.deleted != nullptr) {
      const std::string path = c.deleted;
      const std::size_t last = path.rfind('\\');
      RegistryTree& parent =
          last == std::string::npos ? expected : expected.At(path.substr(0, last));
      parent.subkeys.erase(last == std::string::npos ? path : path.substr(last + 1));
    }
    EXPECT_EQ(Run(c.opcode, Expand(c.argument)), status::kOk);
    EXPECT_FALSE(Stopped());
    EXPECT_EQ(RegistryLines(UserTree()), RegistryLines(expected));
    std::vector<Report> logged;
    if (c.logged != 0)
      logged.push_back({Report::kLog, c.logged, ""});
    EXPECT_EQ(reporter.reports, logged);
  }
}

// A root key is never deleted or emptied, however the command names it.
TEST_F(RegistryCommands, DeleteRegKeyRefusesRootKeys) {
  for (const char* argument :
       {"HKLM\\", "HKLM\\, TRUE", "hkcu\\, true", "HKCU\\\\, TRUE", "HKLU\\\\\\", "HKLU\\, TRUE"}) {
    SCOPED_TRACE(argument);
    Reseed();
    EXPECT_EQ(Run(opcode::kDeleteRegKey, argument), status::kOk);
    EXPECT_EQ(reporter.reports,
              std::vector<Report>({{Report::kLog, message::kRegKeyDeleteFailed, ""}}));
    EXPECT_EQ(RegistryLines(UserTree()), RegistryLines(SeededTree()));
    EXPECT_TRUE(ReadRegistryTree(HKEY_LOCAL_MACHINE, kScratch).has_value());
    EXPECT_TRUE(ReadRegistryTree(HKEY_USERS, kUsersScratch).has_value());
  }
}

}  // namespace

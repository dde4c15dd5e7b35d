// GETINIFILEVALUE, SETINIFILEVALUE and FINDINIFILEVALUE on real INI files through the system's
// profile calls and the installer's own reader.

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "command_test.h"
#include "platform/filesystem.h"
#include "script/command_table.h"
#include "script/ini_profile.h"
#include "test_support.h"

namespace {

using script::opcode::kFindIniFileValue;
using script::opcode::kGetIniFileValue;
using script::opcode::kSetIniFileValue;
using test_support::ScratchFolder;

std::string ReadText(const std::string& path) {
  const auto bytes = test_support::ReadFileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

// A product's settings; the last line has no line end.
constexpr std::string_view kProductLines[] = {
    "[Settings]", "Version=4.0.2", "NoEquals",  "Path = C:\\Product",
    "Empty=",     "[Other]",       "Last=tail",
};

std::string ProductIni(std::string_view line_end) {
  std::string text;
  for (const std::string_view line : kProductLines) {
    if (!text.empty())
      text += line_end;
    text += line;
  }
  return text;
}

class IniCommands : public test_support::CommandTest {
 protected:
  IniCommands() { context.work_directory = work_.path(); }

  // Runs one command on fresh variables.
  Status RunWith(script::Opcode opcode, const std::string& argument,
                 const std::vector<std::pair<std::string, std::string>>& variables = {}) {
    context.variables = script::VariableTable{};
    for (const auto& [name, value] : variables)
      EXPECT_EQ(context.variables.Set(name, value), status::kOk);
    return Run(opcode, argument);
  }

  ScratchFolder work_;
};

TEST_F(IniCommands, GetAndFindReadTheSameFilesTheirOwnWay) {
  const struct {
    const char* section;
    const char* key;
    Status get_status;
    std::optional<std::string> got;
    std::string found;
  } cases[] = {
      {"Settings", "Version", 0, "4.0.2", "1"},
      // The system compares sections case-blind and trims names and values; the installer's
      // reader does neither: "Path = x" holds the key "Path ".
      {"settings", "Version", 0, "4.0.2", "0"},
      {"Settings", "Path", 0, "C:\\Product", "0"},
      {"Settings", "NoEquals", status::kValueNotFound, std::nullopt, "0"},
      {"Settings", "Empty", status::kValueNotFound, std::nullopt, "0"},
      {"Settings", "Missing", status::kValueNotFound, std::nullopt, "0"},
      // The system reads a last line without its end; the installer's reader does not.
      {"Other", "Last", 0, "tail", "0"},
  };
  for (const auto& [file, line_end] : {std::pair{"crlf.ini", "\r\n"}, std::pair{"lf.ini", "\n"}}) {
    ASSERT_TRUE(test_support::WriteFileText(work_ / file, ProductIni(line_end)));
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(file) + " [" + c.section + "] " + c.key);
      const std::string list = std::string(file) + ", " + c.section + ", " + c.key;
      EXPECT_EQ(RunWith(kGetIniFileValue, "v = " + list), c.get_status);
      EXPECT_EQ(Variable("v"), c.got);
      EXPECT_EQ(Stopped(), c.get_status != 0);
      EXPECT_EQ(RunWith(kFindIniFileValue, "found = " + list), status::kOk);
      EXPECT_EQ(Variable("found"), c.found);
      EXPECT_FALSE(Stopped());
    }
  }
}

TEST_F(IniCommands, AMissingFileFailsGetButNotFind) {
  ScratchFolder elsewhere;
  ASSERT_TRUE(test_support::WriteFileText(elsewhere / "far.ini", "[S]\r\nK=far\r\n"));
  const std::string distant = elsewhere / "far.ini";
  const struct {
    std::string file;
    Status get_status;
    std::optional<std::string> got;
    std::string found;
  } cases[] = {
      {"missing.ini", status::kIniFileNotFound, std::nullopt, "0"},
      // Found by the system's search, which takes a full path as it is.
      {distant, 0, "far", "1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    EXPECT_EQ(RunWith(kGetIniFileValue, "v = " + c.file + ", S, K"), c.get_status);
    EXPECT_EQ(Variable("v"), c.got);
    EXPECT_EQ(Stopped(), c.get_status != 0);
    EXPECT_EQ(RunWith(kFindIniFileValue, "found = " + c.file + ", S, K"), status::kOk);
    EXPECT_EQ(Variable("found"), c.found);
    EXPECT_FALSE(Stopped());
  }
  for (const script::Opcode opcode : {kGetIniFileValue, kFindIniFileValue}) {
    EXPECT_EQ(RunWith(opcode, "v = crlf.ini, Settings"), status::kNoSecondPart);
    EXPECT_TRUE(Stopped());
  }
}

TEST_F(IniCommands, SetWritesAVariablesValue) {
  constexpr char kBefore[] = "[Settings]\r\nVersion=4.0.2\r\n";
  const struct {
    const char* what;
    std::string argument;
    std::vector<std::pair<std::string, std::string>> variables;
    Status status;
    bool stopped;
    Status secondary;
    const char* section;  // where the value is read back from the file
    const char* key;
    std::string value;
  } cases[] = {
      {"replaces a value",
       "product.ini, Settings, Version = newVersion",
       {{"newVersion", "4.1.0"}},
       0,
       false,
       0,
       "Settings",
       "Version",
       "4.1.0"},
      {"adds a section and a key",
       "product.ini, Added, Key = v",
       {{"v", "x y"}},
       0,
       false,
       0,
       "Added",
       "Key",
       "x y"},
      {"a literal is no value",
       "product.ini, Settings, Version = 4.1.0",
       {},
       status::kSymbolNotFound,
       true,
       0,
       "Settings",
       "Version",
       "4.0.2"},
      {"a missing file ends the section and is written nowhere",
       "missing.ini, Settings, Version = v",
       {{"v", "1"}},
       0,
       true,
       status::kIniFileNotFound,
       "Settings",
       "Version",
       "4.0.2"},
      {"a malformed argument",
       "product.ini, Settings = v",
       {{"v", "1"}},
       status::kNoSecondPart,
       true,
       0,
       "Settings",
       "Version",
       "4.0.2"},
  };
  int number = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    // A folder per case, so that no profile the system keeps from the last case answers.
    context.work_directory = work_ / std::to_string(number++);
    ASSERT_EQ(platform::CreateFolder(context.work_directory),
              platform::CreateFolderResult::kCreated);
    const std::string path = context.work_directory + "\\product.ini";
    ASSERT_TRUE(test_support::WriteFileText(path, kBefore));

    EXPECT_EQ(RunWith(kSetIniFileValue, c.argument, c.variables), c.status);
    EXPECT_EQ(Stopped(), c.stopped);
    EXPECT_EQ(context.command_status, c.secondary);
    // Read back from the disk, not from what the system may keep of the file.
    const std::optional<script::IniProfile> written = script::OpenIniProfile(path);
    ASSERT_TRUE(written);
    EXPECT_EQ(written->Value(c.section, c.key), c.value);
    if (c.status != 0 || c.stopped) {
      EXPECT_EQ(ReadText(path), kBefore);
    }
    EXPECT_FALSE(platform::IsFile(context.work_directory + "\\missing.ini"));
  }
}

}  // namespace

// LOADPLUGIN and UNLOADPLUGIN against copies of the agent's library (tests/helpers/
// plugin_agent.cpp, built as plxcore32.dll), installed at the agent's three locations in the
// registry. Each copy records its calls, in UTF-16, in plxcore32.dll.calls beside itself.

#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "command_test.h"
#include "saved_registry.h"
#include "script/command_table.h"
#include "test_process.h"
#include "test_support.h"

namespace {

namespace opcode = script::opcode;
using test_support::HelperPath;
using test_support::RegistryTree;
using test_support::SavedRegistryKey;
using test_support::ScratchFolder;
using test_support::Sz;

constexpr std::array<const char*, 3> kAgentKeys = {
    "SOFTWARE\\Torvane Partners\\Stewardry\\Agent",
    "SOFTWARE\\Torvane Partners\\QNT\\Shared Components\\Framework",
    "SOFTWARE\\Velkor\\Stewardry\\Agent"};

// What a location of the agent holds.
enum class Agent { kLibrary, kLibraryPathWithSeparator, kNoLibrary, kNoValue, kNoKey };

// The bytes of a record file: each line as UTF-16 little-endian.
std::vector<std::uint8_t> Utf16(const std::wstring& text) {
  std::vector<std::uint8_t> bytes;
  for (const wchar_t c : text) {
    bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  return bytes;
}

class PluginCommands : public test_support::CommandTest {
 protected:
  // Sets up location i as agent says, its library in folder.
  static void Install(std::size_t i, Agent agent, const ScratchFolder& folder) {
    if (agent == Agent::kNoKey)
      return;
    RegistryTree tree;
    if (agent != Agent::kNoLibrary) {
      ASSERT_TRUE(::CopyFileA(HelperPath("plxcore32.dll").c_str(),
                              (folder / "plxcore32.dll").c_str(), TRUE));
    }
    if (agent != Agent::kNoValue) {
      tree.values["Installed Path"] =
          Sz(agent == Agent::kLibraryPathWithSeparator ? folder.path() + "\\" : folder.path());
    }
    ASSERT_TRUE(test_support::WriteRegistryTree(HKEY_LOCAL_MACHINE, kAgentKeys[i], tree));
  }

  SavedRegistryKey saved_partners_{HKEY_LOCAL_MACHINE, "SOFTWARE\\Torvane Partners"};
  SavedRegistryKey saved_vendor_{HKEY_LOCAL_MACHINE, "SOFTWARE\\Velkor\\Stewardry"};
};

TEST_F(PluginCommands, EveryLocationWithTheLibraryIsCalledOnce) {
  ASSERT_TRUE(saved_partners_.Ready() && saved_vendor_.Ready());
  const struct {
    const char* name;
    std::array<Agent, 3> agents;
    script::Opcode opcode;
    std::array<bool, 3> called;
  } cases[] = {
      {"all three",
       {Agent::kLibrary, Agent::kLibraryPathWithSeparator, Agent::kLibrary},
       opcode::kLoadPlugin,
       {true, true, true}},
      {"unload",
       {Agent::kLibraryPathWithSeparator, Agent::kLibrary, Agent::kLibrary},
       opcode::kUnloadPlugin,
       {true, true, true}},
      {"gaps",
       {Agent::kNoValue, Agent::kLibrary, Agent::kNoLibrary},
       opcode::kLoadPlugin,
       {false, true, false}},
      {"only the last",
       {Agent::kNoKey, Agent::kNoKey, Agent::kLibrary},
       opcode::kLoadPlugin,
       {false, false, true}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::array<ScratchFolder, 3> folders;
    ASSERT_TRUE(test_support::RemoveRegistryTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Torvane Partners"));
    ASSERT_TRUE(
        test_support::RemoveRegistryTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Velkor\\Stewardry"));
    for (std::size_t i = 0; i < kAgentKeys.size(); ++i)
      Install(i, c.agents[i], folders[i]);

    EXPECT_EQ(Run(c.opcode, "  {5B1F} Plug-in 7  "), status::kOk);
    EXPECT_FALSE(Stopped());
    const std::wstring entry =
        c.opcode == opcode::kLoadPlugin ? L"LoadPluginDLL" : L"UnloadPluginDLL";
    for (std::size_t i = 0; i < kAgentKeys.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(test_support::ReadFileBytes(folders[i] / "plxcore32.dll.calls"),
                c.called[i] ? Utf16(entry + L"\t{5B1F} Plug-in 7\n") : std::vector<std::uint8_t>{});
    }
  }
}

}  // namespace

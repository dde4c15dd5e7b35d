#include "script/script_loader.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/file.h"
#include "recording_reporter.h"
#include "script/script_file.h"
#include "script/values.h"
#include "shell/run/command_handlers.h"
#include "test_support.h"

namespace {

using namespace std::string_literals;
using Report = test_support::RecordingReporter::Report;

class ScriptLoader : public testing::Test {
 protected:
  script::LoadedScript Load(const std::string& path, const std::string& package_folder = "") {
    return script::LoadScript(path, package_folder,
                              script::ScriptEnvironment{reporter, state, shell::CommandHandlers()});
  }
  std::string WriteScript(std::string_view text) {
    const std::string path = scratch / "ORQSCRIP.OSC";
    EXPECT_TRUE(test_support::WriteFileText(path, text));
    return path;
  }

  test_support::ScratchFolder scratch;
  test_support::RecordingReporter reporter;
  script::RunState state;
};

TEST_F(ScriptLoader, LoadsAScriptWithMain) {
  const std::string path = WriteScript("[ThisPackage]\r\nSet TRUE=1\r\n[Main]\r\nCall Install\r\n");
  const script::LoadedScript loaded = Load(path, "C:\\Temp\\1A2B");
  ASSERT_EQ(loaded.status, 0);
  ASSERT_NE(loaded.context, nullptr);
  EXPECT_EQ(loaded.context->sections.Count(), 2u);
  EXPECT_EQ(loaded.context->package_folder, "C:\\Temp\\1A2B");
  // Message 61 goes to the progress text and to the log, each with the script's path.
  const std::vector<Report> expected = {{Report::kProgress, 61, path}, {Report::kLog, 61, path}};
  EXPECT_EQ(reporter.reports, expected);
}

TEST_F(ScriptLoader, DefinesNoChangeFromTheSwitchBeforeAnythingElse) {
  const std::string path = WriteScript("[Main]\r\n");
  for (const bool no_change : {false, true}) {
    state.no_change = no_change;
    const script::LoadedScript loaded = Load(path);
    ASSERT_EQ(loaded.status, 0);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"g_NoChange", no_change ? "1" : "0"}};
    EXPECT_EQ(loaded.context->variables.InOrder(), expected);
  }
}

TEST_F(ScriptLoader, KeepsAtMost259CharactersOfThePackageFolder) {
  const std::string path = WriteScript("[Main]\r\n");
  const std::string folder(300, 'f');
  EXPECT_EQ(Load(path, folder).context->package_folder, folder.substr(0, 259));
}

TEST_F(ScriptLoader, FailsWithTheStatusOfTheFirstProblem) {
  const struct {
    std::string name;
    std::string text;  // empty: no file at all
    Status status;
    std::int32_t line;
    std::string error_text;
  } cases[] = {
      {"missing file", "", 9, 0, ""},
      {"no Main", "[main]\r\n[ Main ]\r\nCloneSelf\r\n", 7, 4, ""},
      {"Main only after a NUL", "[Other]\r\n\0[Main]\r\n"s, 7, 2, ""},
      {"unknown keyword", "[Main]\r\n\r\nSet x=1\r\nSetx=1\r\n[Main]", 2, 4, "SETX"},
      {"argument too long", "[Main]\r\nSet x=" + std::string(300, 'v'), 3, 2, ""},
      {"command before the first header", "Set x=1\r\n[Main]", 4, 1, ""},
      {"binary junk", "\x01\x02\xFF\x00\x7F[Main]"s, 2, 1, ""},
  };
  for (const auto& c : cases) {
    const std::string path = c.text.empty() ? scratch / "missing.osc" : WriteScript(c.text);
    reporter.reports.clear();
    const script::LoadedScript loaded = Load(path);
    EXPECT_EQ(loaded.status, c.status) << c.name;
    ASSERT_NE(loaded.context, nullptr) << c.name;
    const script::RunReport report = script::TakeRunReport(loaded.context.get(), 260);
    EXPECT_EQ(report.line, c.line) << c.name;
    EXPECT_EQ(report.error_text, c.error_text) << c.name;
    // Loading is reported before the file is read.
    EXPECT_EQ(reporter.reports.size(), 2u) << c.name;
  }
}

TEST_F(ScriptLoader, RunReportCutsTheErrorTextToTheCallersBuffer) {
  const std::string keyword(300, 'K');
  const script::LoadedScript loaded = Load(WriteScript("[Main]\r\n\r\n" + keyword));
  ASSERT_EQ(loaded.status, 2);
  const struct {
    std::size_t capacity;
    std::size_t length;
  } cases[] = {{260, 259}, {64, 63}, {1, 0}};
  for (const auto& c : cases) {
    const script::RunReport report = script::TakeRunReport(loaded.context.get(), c.capacity);
    EXPECT_EQ(report.line, 3);
    EXPECT_EQ(report.error_text, keyword.substr(0, c.length)) << c.capacity;
  }
  const script::RunReport none = script::TakeRunReport(nullptr, 260);
  EXPECT_EQ(none.line, 0);
  EXPECT_EQ(none.error_text, "");
}

class ScriptFile : public testing::Test {
 protected:
  test_support::ScratchFolder scratch;
};

TEST_F(ScriptFile, ReadsTheWholeFileOrGivesItsStatus) {
  const std::string bytes = "[Main]\r\n\0\xFF tail"s;
  ASSERT_TRUE(test_support::WriteFileText(scratch / "full.osc", bytes));
  ASSERT_TRUE(test_support::WriteFileText(scratch / "empty.osc", ""));
  const struct {
    std::string path;
    Status status;
    std::string text;
  } cases[] = {
      {scratch / "full.osc", 0, bytes},
      {scratch / "empty.osc", 8, ""},
      {scratch / "missing.osc", 9, ""},
      {scratch.path(), 9, ""},  // a folder is no file
  };
  for (const auto& c : cases) {
    std::string text = "stale";
    EXPECT_EQ(script::ReadScriptFile(c.path, text), c.status) << c.path;
    EXPECT_EQ(text, c.text) << c.path;
  }
}

TEST_F(ScriptFile, RefusesAFileTooLargeToHoldInMemory) {
  const std::string path = scratch / "huge.osc";
  {
    platform::File file = platform::File::Create(path);
    ASSERT_TRUE(file.IsOpen());
    ASSERT_TRUE(file.SetLength(std::int64_t{5} << 30));  // sparse: no disk space is used
  }
  std::string text;
  EXPECT_EQ(script::ReadScriptFile(path, text), 1);
  EXPECT_TRUE(text.empty());
}

#ifndef _WIN32
// A sysfs file claims a page of size but yields only a few bytes: the read comes up short.
TEST_F(ScriptFile, ShortReadIsStatus11) {
  const std::string path = test_support::SystemPath("/sys/devices/system/cpu/online");
  std::string text;
  const Status status = script::ReadScriptFile(path, text);
  if (status == 9)
    GTEST_SKIP() << "no sysfs here";
  EXPECT_EQ(status, 11);
  EXPECT_TRUE(text.empty());
}
#endif

}  // namespace

// The install log: line layout, the writer's trim thresholds on real files, folder creation and the
// choice of the log path.

#include <gtest/gtest.h>

#include <algorithm>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "log/folder_chain.h"
#include "log/install_log.h"
#include "log/log_line.h"
#include "log/log_writer.h"
#include "log/messages.h"
#include "memory_message_source.h"
#include "platform/filesystem.h"
#include "test_support.h"

namespace {

using logging::BuildLogLine;
using logging::LogFile;
using logging::LogLineFields;

std::string ReadText(const std::string& path) {
  const std::vector<std::uint8_t> bytes = test_support::ReadFileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

TEST(LogLine, FieldsAreTabSeparatedAndUnreadableNamesAreLeftOut) {
  const struct {
    LogLineFields fields;
    const char* text;
    const char* line;
  } cases[] = {
      {{"12/5/2026", "11:41 PM", "admin", "HOST1"},
       "Done.",
       "12/5/2026\t11:41 PM\t\tadmin\tHOST1\tDone.\r\n"},
      {{"d", "t", std::nullopt, "HOST1"}, "m", "d\tt\t\tHOST1\tm\r\n"},
      {{"d", "t", "admin", std::nullopt}, "m", "d\tt\t\tadmin\tm\r\n"},
      {{"d", "t", std::nullopt, std::nullopt}, "m", "d\tt\t\tm\r\n"},
      {{"d", "t", "admin", "HOST1"}, "", "d\tt\t\tadmin\tHOST1\t\r\n"},
      // Without a time the line ends after the date; without a date there is no line at all.
      {{"d", std::nullopt, "admin", "HOST1"}, "m", "d\t\r\n"},
      {{std::nullopt, "t", "admin", "HOST1"}, "m", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(BuildLogLine(c.fields, c.text), c.line) << c.line;
}

TEST(LogLine, LongFieldsAreCutToA518ByteLine) {
  const std::string long_text(600, 'm');
  const std::string long_name(600, 'u');
  const struct {
    LogLineFields fields;
    std::string text;
  } cases[] = {
      {{"d", "t", "admin", "HOST1"}, long_text},
      {{"d", "t", "admin", "HOST1"}, std::string(510, 'm')},
      {{"d", "t", long_name, "HOST1"}, "m"},
      {{"d", "t", std::nullopt, long_name}, long_text},
      {{long_name, "t", "admin", "HOST1"}, "m"},
  };
  for (const auto& c : cases) {
    const LogLineFields& f = c.fields;
    std::string full = *f.date + "\t" + *f.time + "\t\t";
    if (f.user)
      full += *f.user + "\t";
    if (f.computer)
      full += *f.computer + "\t";
    full += c.text;
    const std::string line = BuildLogLine(f, c.text);
    EXPECT_EQ(line, full.substr(0, 516) + "\r\n");
    EXPECT_LE(line.size(), 518u);
  }
}

// A log of numbered 100-byte lines ("line 00000 ...", CR LF included).
std::string NumberedLines(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    char number[24];
    std::snprintf(number, sizeof number, "line %05d ", i);
    text += number;
    text += std::string(100 - 11 - 2, 'x') + "\r\n";
  }
  return text;
}

TEST(LogWriter, TrimsWhenALineWouldBringTheLogTo103424Bytes) {
  const std::string old_log = NumberedLines(1030);  // 103,000 bytes
  ASSERT_EQ(old_log.size(), 103000u);
  // The last 81,920 bytes begin 80 bytes into line 210; the first whole line is 211.
  const std::string kept = old_log.substr(211 * 100);
  const struct {
    std::size_t line_length;
    bool trims;
  } cases[] = {
      {423, false},  // 103,423 bytes
      {424, true},   // 103,424 bytes
      {500, true},
  };
  test_support::ScratchFolder scratch;
  for (const auto& c : cases) {
    const std::string path = scratch / "trim.log";
    ASSERT_TRUE(test_support::WriteFileText(path, old_log));
    const std::string line = std::string(c.line_length - 2, 'n') + "\r\n";
    EXPECT_TRUE(LogFile().Append(path, {}, line));
    const std::string expected = c.trims ? "\r\n" + kept + line : old_log + line;
    const std::string actual = ReadText(path);
    EXPECT_EQ(actual.size(), expected.size()) << c.line_length;
    EXPECT_TRUE(actual == expected) << c.line_length;
  }
}

TEST(LogWriter, TrimKeepsNothingWithoutALineBreakInTheTail) {
  test_support::ScratchFolder scratch;
  const std::string path = scratch / "one-line.log";
  ASSERT_TRUE(test_support::WriteFileText(path, std::string(103000, 'x')));
  EXPECT_TRUE(LogFile().Append(path, {}, std::string(498, 'n') + "\r\n"));
  EXPECT_EQ(ReadText(path), std::string(498, 'n') + "\r\n");
}

TEST(LogWriter, CreatesAMissingLogAndAppendsToAnExistingOne) {
  test_support::ScratchFolder scratch;
  const std::string path = scratch / "new.log";
  EXPECT_TRUE(LogFile().Append(path, {}, "first\r\n"));
  EXPECT_TRUE(LogFile().Append(path, {}, "second\r\n"));
  EXPECT_EQ(ReadText(path), "first\r\nsecond\r\n");
  // A log whose folder does not exist loses its line.
  EXPECT_FALSE(LogFile().Append(scratch / "missing\\x.log", {}, "lost\r\n"));
  EXPECT_FALSE(platform::IsFile(scratch / "missing\\x.log"));
}

TEST(FolderChain, CreatesEveryMissingFolder) {
  test_support::ScratchFolder scratch;
  ASSERT_TRUE(test_support::WriteFileText(scratch / "file", "x"));
  const struct {
    std::string path;
    bool result;
    std::string made;
  } cases[] = {
      {scratch / "a\\b\\c", true, scratch / "a\\b\\c"},
      {scratch / "d\\e\\", true, scratch / "d\\e"},
      {scratch.path(), true, scratch.path()},
      {scratch / "file\\sub", false, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(logging::MakeFolderChain(c.path), c.result) << c.path;
    if (!c.made.empty()) {
      EXPECT_TRUE(platform::IsFolder(c.made)) << c.path;
    }
  }
}

TEST(FolderChain, EnsureFileCreatableKeepsExistingFilesAndMakesNewOnes) {
  test_support::ScratchFolder scratch;
  const std::string existing = scratch / "old.log";
  ASSERT_TRUE(test_support::WriteFileText(existing, "kept"));
  EXPECT_TRUE(logging::EnsureFileCreatable(existing));
  EXPECT_EQ(ReadText(existing), "kept");

  const std::string fresh = scratch / "x\\y\\new.log";
  EXPECT_TRUE(logging::EnsureFileCreatable(fresh));
  EXPECT_TRUE(platform::IsFile(fresh));
  EXPECT_EQ(ReadText(fresh), "");

  EXPECT_FALSE(logging::EnsureFileCreatable(existing + "\\under-a-file.log"));
  EXPECT_FALSE(logging::EnsureFileCreatable(scratch.path()));  // a folder is not a log
}

class RecordingBoxes : public logging::ErrorBoxes {
 public:
  void Show(std::string_view text, std::string_view caption) override {
    shown.push_back(std::string(caption) + "|" + std::string(text));
  }
  std::vector<std::string> shown;
};

TEST(SetUpInstallLog, ChoosesTheDefaultAndAcceptsOnlyUsableExplicitPaths) {
  test_support::ScratchFolder scratch;
  const std::string temp = scratch / "temp";
  const std::string blocker = scratch / "blocker";
  const std::string existing = scratch / "existing.log";
  ASSERT_EQ(platform::CreateFolder(temp), platform::CreateFolderResult::kCreated);
  ASSERT_TRUE(test_support::WriteFileText(blocker, "a file, not a folder"));
  ASSERT_TRUE(test_support::WriteFileText(existing, "earlier lines\r\n"));
  const std::string installer = scratch / "bin\\setup.exe";
  const std::string in_temp = temp + "\\VelkorLogs\\KPTInst.log";
  const std::string beside_installer = scratch / "bin\\KPTInst.log";
  const std::string unusable = blocker + "\\x.log";
  const std::string deep = scratch / "new\\deep\\my.log";
  const std::string box =
      "Caption|Invalid log file path is supplied. Default log file, " + in_temp + " will be used.";

  const test_support::MemoryMessageSource messages({
      {message::kLogFileName, "KPTInst.log"},
      {message::kBoxCaption, "Caption"},
      {message::kInvalidLogPath,
       "Invalid log file path is supplied. Default log file, %s will be used."},
  });
  const struct {
    const char* name;
    logging::LogSetUp setup;
    std::string path;
    std::vector<std::string> boxes;
  } cases[] = {
      {"default in temp", {std::nullopt, temp, installer, false}, in_temp, {}},
      {"temp unknown", {std::nullopt, "", installer, false}, beside_installer, {}},
      {"temp unusable", {std::nullopt, blocker, installer, false}, beside_installer, {}},
      {"new folders", {deep, temp, installer, false}, deep, {}},
      {"existing file", {existing, temp, installer, false}, existing, {}},
      {"unusable", {unusable, temp, installer, false}, in_temp, {box}},
      {"unusable silent", {unusable, temp, installer, true}, in_temp, {}},
      {"empty", {"", temp, installer, false}, in_temp, {box}},
  };
  for (const auto& c : cases) {
    logging::InstallLog log;
    RecordingBoxes boxes;
    log.SetUpInstallLog(c.setup, messages, boxes);
    EXPECT_EQ(log.path(), c.path) << c.name;
    EXPECT_EQ(boxes.shown, c.boxes) << c.name;
  }
  // The default log exists from the start; an explicit one is created empty or left as it was.
  // The silent run's only line is what its box would have said.
  const std::string silent_log = ReadText(in_temp);
  EXPECT_EQ(std::count(silent_log.begin(), silent_log.end(), '\n'), 1) << silent_log;
  EXPECT_TRUE(silent_log.ends_with("\tInvalid log file path is supplied. Default log file, " +
                                   in_temp + " will be used.\r\n"))
      << silent_log;
  EXPECT_EQ(ReadText(deep), "");
  EXPECT_EQ(ReadText(existing), "earlier lines\r\n");
}

TEST(InstallLog, EachLogTextAppendsOneLineEndingInTheText) {
  test_support::ScratchFolder scratch;
  const logging::InstallLog log(scratch / "install.log");
  log.LogText("first");
  log.LogText(std::string(600, 'z'));
  const std::string text = ReadText(log.path());
  const std::size_t first_end = text.find("\r\n");
  ASSERT_NE(first_end, std::string::npos);
  EXPECT_EQ(text.substr(first_end - 6, 8), "\tfirst\r\n");
  const std::string second = text.substr(first_end + 2);
  EXPECT_LE(second.size(), 518u);
  EXPECT_EQ(second.substr(second.size() - 3), "z\r\n");
  EXPECT_EQ(second.find("\r\n"), second.size() - 2);
}

}  // namespace

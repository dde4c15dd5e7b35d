// The install log on the system's own files: share modes, short names, the locale's date and time,
// and drives that do not exist (Win32 only). The trim thresholds run on real files in the unit
// tests, which run here as well.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "log/install_log.h"
#include "log/log_writer.h"
#include "log/messages.h"
#include "memory_message_source.h"
#include "platform/file.h"
#include "platform/filesystem.h"
#include "platform/short_path.h"
#include "test_support.h"

namespace {

using platform::File;
using platform::OpenMode;
using platform::StreamMode;

std::string ReadText(const std::string& path) {
  const std::vector<std::uint8_t> bytes = test_support::ReadFileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

std::vector<std::string> SplitFields(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
    fields.push_back(line.substr(start, tab - start));
  fields.push_back(line.substr(start));
  return fields;
}

TEST(InstallLogWin32, ALogHeldOpenByAnotherTakesLinesOnlyWhenItSharesWriting) {
  const struct {
    const char* name;
    std::optional<OpenMode> mode;
    std::optional<StreamMode> stream;
    bool written;
  } cases[] = {
      {"read, share read and write", OpenMode::kReadShareReadWrite, {}, true},
      {"stream rb", {}, StreamMode::kRead, true},
      {"read, share read", OpenMode::kReadShareRead, {}, false},
      {"read, exclusive", OpenMode::kReadExclusive, {}, false},
      {"read and write, share read", OpenMode::kReadWriteShareRead, {}, false},
      {"stream r+b", {}, StreamMode::kUpdate, false},
  };
  test_support::ScratchFolder scratch;
  const std::string path = scratch / "held.log";
  for (const auto& c : cases) {
    ASSERT_TRUE(test_support::WriteFileText(path, "before\r\n"));
    {
      File held = c.mode ? File::OpenExisting(path, *c.mode) : File::OpenStream(path, *c.stream);
      ASSERT_TRUE(held.IsOpen()) << c.name;
      EXPECT_EQ(logging::LogFile().Append(path, {}, "line\r\n"), c.written) << c.name;
    }
    EXPECT_EQ(ReadText(path), c.written ? "before\r\nline\r\n" : "before\r\n") << c.name;
  }
}

TEST(InstallLogWin32, TheLogIsClosedBetweenLines) {
  test_support::ScratchFolder scratch;
  const logging::InstallLog log(scratch / "closed.log");
  log.LogText("one");
  EXPECT_TRUE(File::OpenExisting(log.path(), OpenMode::kReadExclusive).IsOpen());
  EXPECT_TRUE(platform::RemoveFile(log.path()));
}

// During a run the log is kept open, shared: another program reads it and adds lines of its own
// meanwhile, and each of ours goes at the end as it is then, also after a trim. Let go, it is
// closed again.
TEST(InstallLogWin32, AKeptOpenLogSharesReadingAndWriting) {
  test_support::ScratchFolder scratch;
  const std::string path = scratch / "kept.log";
  logging::LogFile log;
  log.KeepOpen(true);
  ASSERT_TRUE(log.Append(path, {}, "one\r\n"));
  EXPECT_FALSE(File::OpenExisting(path, OpenMode::kReadExclusive).IsOpen());
  EXPECT_EQ(ReadText(path), "one\r\n");
  const auto append_as_another = [&path](const std::string& text, int times) {
    File other = File::OpenStream(path, StreamMode::kUpdate);
    ASSERT_TRUE(other.IsOpen());
    ASSERT_GE(other.Size(), 0);
    for (int i = 0; i < times; ++i)
      ASSERT_EQ(other.Write(text.data(), static_cast<std::uint32_t>(text.size())), text.size());
  };
  append_as_another("other\r\n", 1);
  ASSERT_TRUE(log.Append(path, {}, "two\r\n"));
  EXPECT_EQ(ReadText(path), "one\r\nother\r\ntwo\r\n");

  // Another program fills the log to its limit: the next line trims it to its last whole lines.
  const std::string filler = std::string(98, 'f') + "\r\n";
  append_as_another(filler, 1034);
  ASSERT_TRUE(log.Append(path, {}, "three\r\n"));
  const std::string trimmed = ReadText(path);
  EXPECT_LE(trimmed.size(), static_cast<std::size_t>(logging::kTrimTargetBytes + 9));
  EXPECT_EQ(trimmed.substr(0, 2 + filler.size()), "\r\n" + filler);
  EXPECT_EQ(trimmed.substr(trimmed.size() - 7), "three\r\n");
  ASSERT_TRUE(log.Append(path, {}, "four\r\n"));
  EXPECT_EQ(ReadText(path), trimmed + "four\r\n");

  log.KeepOpen(false);
  EXPECT_TRUE(File::OpenExisting(path, OpenMode::kReadExclusive).IsOpen());
}

TEST(InstallLogWin32, LongNamesAreWrittenThroughTheirShortForm) {
  test_support::ScratchFolder scratch;
  const std::string existing = scratch / "a long name for the install log.txt";
  ASSERT_TRUE(test_support::WriteFileText(existing, "old\r\n"));
  const std::string short_form = platform::ShortPathName(existing);
  EXPECT_NE(short_form, existing);
  EXPECT_NE(short_form.find('~'), std::string::npos) << short_form;
  EXPECT_TRUE(logging::LogFile().Append(existing, {}, "new\r\n"));
  EXPECT_EQ(ReadText(existing), "old\r\nnew\r\n");

  // A log that does not exist yet has no short form and is created under its long name.
  const std::string missing = scratch / "another long log name.txt";
  EXPECT_EQ(platform::ShortPathName(missing), missing);
  EXPECT_TRUE(logging::LogFile().Append(missing, {}, "first\r\n"));
  EXPECT_EQ(ReadText(missing), "first\r\n");
}

std::string LocaleInfo(LCTYPE type) {
  char buffer[80] = {};
  ::GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer);
  return buffer;
}

TEST(InstallLogWin32, LinesCarryTheShortDateAndTheTimeWithoutSeconds) {
  if (LocaleInfo(LOCALE_SSHORTDATE) != "M/d/yyyy" || LocaleInfo(LOCALE_STIMEFORMAT) != "h:mm:ss tt")
    GTEST_SKIP() << "the expected forms are those of the English (United States) locale";
  test_support::ScratchFolder scratch;
  const logging::InstallLog log(scratch / "fields.log");
  SYSTEMTIME before;
  SYSTEMTIME after;
  do {
    platform::RemoveFile(log.path());
    ::GetLocalTime(&before);
    log.LogText("message");
    ::GetLocalTime(&after);
  } while (before.wMinute != after.wMinute);

  const std::string line = ReadText(log.path());
  ASSERT_EQ(line.substr(line.size() - 2), "\r\n");
  const std::vector<std::string> fields = SplitFields(line.substr(0, line.size() - 2));
  ASSERT_EQ(fields.size(), 6u) << line;
  const int hour = before.wHour % 12 == 0 ? 12 : before.wHour % 12;
  char minute[3];
  std::snprintf(minute, sizeof minute, "%02d", before.wMinute);
  EXPECT_EQ(fields[0], std::to_string(before.wMonth) + "/" + std::to_string(before.wDay) + "/" +
                           std::to_string(before.wYear));
  EXPECT_EQ(fields[1], std::to_string(hour) + ":" + minute + (before.wHour < 12 ? " AM" : " PM"));
  EXPECT_EQ(fields[2], "");
  EXPECT_FALSE(fields[3].empty());
  EXPECT_FALSE(fields[4].empty());
  EXPECT_EQ(fields[5], "message");
}

class RecordingBoxes : public logging::ErrorBoxes {
 public:
  void Show(std::string_view text, std::string_view) override { shown.emplace_back(text); }
  std::vector<std::string> shown;
};

TEST(InstallLogWin32, AnExplicitLogOnAMissingDriveKeepsTheDefault) {
  const DWORD drives = ::GetLogicalDrives();
  char letter = 'Q';
  while (letter <= 'Y' && (drives & (1u << (letter - 'A'))) != 0)
    ++letter;
  ASSERT_LE(letter, 'Y') << "no free drive letter";
  test_support::ScratchFolder scratch;
  const test_support::MemoryMessageSource messages({
      {message::kLogFileName, "KPTInst.log"},
      {message::kInvalidLogPath, "Invalid: default %s"},
  });
  logging::InstallLog log;
  RecordingBoxes boxes;
  const std::string requested = std::string(1, letter) + ":\\logs\\x.log";
  log.SetUpInstallLog({requested, scratch.path(), scratch / "setup.exe", false}, messages, boxes);
  const std::string default_path = scratch / "VelkorLogs\\KPTInst.log";
  EXPECT_EQ(log.path(), default_path);
  EXPECT_EQ(boxes.shown, std::vector<std::string>{"Invalid: default " + default_path});
}

// The chosen log's short form is looked up once; a log that someone removes during the run comes
// back under its own long name, not as a file named like the short form.
TEST(InstallLogWin32, ALogRemovedDuringTheRunComesBackUnderItsLongName) {
  test_support::ScratchFolder scratch;
  const test_support::MemoryMessageSource messages({{message::kLogFileName, "KPTInst.log"}});
  logging::InstallLog log;
  RecordingBoxes boxes;
  const std::string requested = scratch / "a long name for the install log.txt";
  log.SetUpInstallLog({requested, scratch.path(), scratch / "setup.exe", true}, messages, boxes);
  ASSERT_EQ(log.path(), requested);
  log.LogText("one");
  ASSERT_TRUE(platform::RemoveFile(requested));
  log.LogText("two");
  ASSERT_TRUE(platform::IsFile(requested));
  EXPECT_NE(ReadText(requested).find("two"), std::string::npos);
  EXPECT_EQ(ReadText(requested).find("one"), std::string::npos);
  log.LogText("three");
  EXPECT_NE(ReadText(requested).find("three"), std::string::npos);
}

}  // namespace

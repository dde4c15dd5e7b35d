// The reporting operations: message formatting, the progress text, log reports and the error box
// of a failed run.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "log/message_format.h"
#include "log/messages.h"
#include "log/reporting.h"
#include "memory_message_source.h"
#include "test_support.h"

namespace {

using logging::FormatMessageText;

TEST(MessageFormat, TheArgumentTakesThePlaceOfPercentS) {
  const struct {
    const char* message;
    const char* argument;
    std::size_t capacity;
    const char* text;
  } cases[] = {
      {"Deleting...%s", "a.dll", 260, "Deleting...a.dll"},
      {"File %s will be replaced on reboot.", "a.dll", 260,
       "File a.dll will be replaced on reboot."},
      // Without an argument the message stands as it is.
      {"Deleting...%s", "", 260, "Deleting...%s"},
      {"100%% of %s", "it", 260, "100% of it"},
      {"%s and %s", "one", 260, "one and "},
      {"50% off %d %", "x", 260, "50% off %d %"},
      {"%s", "abcdef", 4, "abc"},
      {"abcdef", "", 4, "abc"},
      {"ab%s", "x", 1, ""},
      {"ab%s", "x", 0, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatMessageText(c.message, c.argument, c.capacity), c.text) << c.message;
}

class RecordingBoxes : public logging::ErrorBoxes {
 public:
  void Show(std::string_view text, std::string_view caption) override {
    shown.push_back(std::string(caption) + "|" + std::string(text));
  }
  std::vector<std::string> shown;
};

class Reporting : public ::testing::Test {
 protected:
  // The message field of every line of the log (the text after the line's last tab).
  std::vector<std::string> LoggedMessages() const {
    const std::vector<std::uint8_t> bytes = test_support::ReadFileBytes(log_.path());
    const std::string text(bytes.begin(), bytes.end());
    std::vector<std::string> messages;
    for (std::size_t start = 0; start < text.size();) {
      const std::size_t end = text.find("\r\n", start);
      const std::string line = text.substr(start, end - start);
      messages.push_back(line.substr(line.rfind('\t') + 1));
      start = end == std::string::npos ? text.size() : end + 2;
    }
    return messages;
  }

  test_support::ScratchFolder scratch_;
  test_support::MemoryMessageSource messages_{{
      {12, "Verifying settings to proceed."},
      {19, "Unrecognized command in script file."},
      {54, "Sentrel Module Installer Notification"},
      {72, "Unable to verify the ZIP File. Signature verification failed."},
      {74, "Uncompressing the file...%s."},
      {83, "Retrieving file, %s from zip file."},
  }};
  logging::InstallLog log_{scratch_ / "install.log"};
  RecordingBoxes boxes_;
  logging::StatusReporter reporter_{messages_, log_, boxes_};
};

TEST_F(Reporting, ShowStatusErrorLogsOnceAndShowsUnlessSilent) {
  const std::string caption = "Sentrel Module Installer Notification|";
  const std::string signature = "Unable to verify the ZIP File. Signature verification failed.";
  const struct {
    Status status;
    bool silent;
    std::vector<std::string> logged;
    std::vector<std::string> shown;
  } cases[] = {
      {0, false, {"Unknown error"}, {caption + "Unknown error"}},
      {70, false, {"Unknown error"}, {caption + "Unknown error"}},
      {42, false, {signature}, {caption + signature}},
      {42, true, {signature}, {}},
      {70, true, {"Unknown error"}, {}},
      // 48 has a row, but its message is missing from the library: nothing at all.
      {48, false, {}, {}},
  };
  for (const auto& c : cases) {
    test_support::ScratchFolder scratch;
    const logging::InstallLog log(scratch / "install.log");
    RecordingBoxes boxes;
    logging::StatusReporter reporter(messages_, log, boxes);
    reporter.ShowStatusError(c.status, c.silent);
    const std::vector<std::uint8_t> bytes = test_support::ReadFileBytes(log.path());
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.empty(), c.logged.empty()) << c.status;
    if (!c.logged.empty()) {
      EXPECT_EQ(text.substr(text.size() - c.logged[0].size() - 3), "\t" + c.logged[0] + "\r\n");
    }
    EXPECT_EQ(boxes.shown, c.shown) << c.status;
  }
}

TEST_F(Reporting, ABoxWithoutItsCaptionInTheLibraryIsCaptionedError) {
  messages_.texts.erase(message::kBoxCaption);
  reporter_.ShowStatusError(70, false);
  EXPECT_EQ(boxes_.shown, std::vector<std::string>{"Error|Unknown error"});
}

TEST_F(Reporting, ProgressTextIsFormattedCutAndTakenOnce) {
  logging::ProgressText& progress = reporter_.progress();
  EXPECT_EQ(progress.TakeChanged(), std::nullopt);

  reporter_.ReportProgress(message::kUncompressingFile, "a.dll");
  EXPECT_EQ(progress.TakeChanged(), "Uncompressing the file...a.dll.");
  EXPECT_EQ(progress.TakeChanged(), std::nullopt);

  reporter_.ReportProgress(message::kVerifyingSettings, {});
  EXPECT_EQ(progress.TakeChanged(), "Verifying settings to proceed.");

  const std::string long_name(400, 'n');
  reporter_.ReportProgress(message::kUncompressingFile, long_name);
  EXPECT_EQ(progress.TakeChanged(), ("Uncompressing the file..." + long_name).substr(0, 267));

  // A message the library lacks still changes the text, to nothing.
  reporter_.ReportProgress(999, "x");
  EXPECT_EQ(progress.TakeChanged(), "");

  reporter_.ReportProgress(message::kVerifyingSettings, {});
  progress.Clear();
  EXPECT_EQ(progress.TakeChanged(), "");
}

TEST_F(Reporting, LogMessageWritesTheFormattedMessageCutTo263Characters) {
  reporter_.LogMessage(message::kRetrievingFile, "a.dll");
  const std::string long_name(400, 'n');
  reporter_.LogMessage(message::kRetrievingFile, long_name);
  reporter_.LogMessage(999, {});
  reporter_.LogText("as it is %s");
  const std::vector<std::string> expected = {
      "Retrieving file, a.dll from zip file.",
      ("Retrieving file, " + long_name).substr(0, 263),
      "",
      "as it is %s",
  };
  EXPECT_EQ(LoggedMessages(), expected);
}

}  // namespace

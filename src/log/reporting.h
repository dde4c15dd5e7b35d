#pragma once

#include <string_view>

#include "base/status.h"
#include "log/error_boxes.h"
#include "log/install_log.h"
#include "log/message_source.h"
#include "log/progress_text.h"
#include "log/reporter.h"

namespace logging {

// The installer's reporting: messages of the language library by id into the progress text and
// the install log, and the one box of a failed run.
class StatusReporter final : public Reporter {
 public:
  StatusReporter(const MessageSource& messages, const InstallLog& log, ErrorBoxes& boxes)
      : messages_(messages), log_(log), boxes_(boxes) {}

  void ReportProgress(MessageId id, std::string_view argument) override;
  void LogMessage(MessageId id, std::string_view argument) override;
  void LogText(std::string_view text) override;

  // Logs the message of status ("Unknown error" for a code without one) and, unless silent,
  // shows it in a box under caption 54. A status whose message is empty is neither logged nor
  // shown.
  void ShowStatusError(Status status, bool silent);

  ProgressText& progress() { return progress_; }
  const InstallLog& log() const { return log_; }

 private:
  const MessageSource& messages_;
  const InstallLog& log_;
  ErrorBoxes& boxes_;
  ProgressText progress_;
};

}  // namespace logging

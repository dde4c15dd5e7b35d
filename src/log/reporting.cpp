#include "log/reporting.h"

#include <string>

#include "log/message_format.h"
#include "log/messages.h"
#include "log/status_catalogue.h"

namespace logging {
namespace {

// Buffer sizes: a report loads its message into 261 bytes and builds a log line in 264; the
// error box loads into 260.
constexpr std::size_t kReportMessageCapacity = 261;
constexpr std::size_t kLogMessageCapacity = 264;
constexpr std::size_t kBoxCapacity = 260;

}  // namespace

void StatusReporter::ReportProgress(MessageId id, std::string_view argument) {
  progress_.Set(FormatMessageText(messages_.Message(id, kReportMessageCapacity), argument,
                                  ProgressText::kCapacity));
}

void StatusReporter::LogMessage(MessageId id, std::string_view argument) {
  log_.LogText(FormatMessageText(messages_.Message(id, kReportMessageCapacity), argument,
                                 kLogMessageCapacity));
}

void StatusReporter::LogText(std::string_view text) {
  log_.LogText(text);
}

void StatusReporter::ShowStatusError(Status status, bool silent) {
  std::string text = "Unknown error";
  if (const auto id = StatusMessageId(status))
    text = messages_.Message(*id, kBoxCapacity);
  if (text.empty())
    return;
  log_.LogText(text);
  if (silent)
    return;
  // Without caption 54 in the library the box keeps the caption it started with.
  std::string caption = messages_.Message(message::kBoxCaption, kBoxCapacity);
  if (caption.empty())
    caption = "Error";
  boxes_.Show(text, caption);
}

}  // namespace logging

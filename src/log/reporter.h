#pragma once

#include <string_view>

// The message ids (namespace message) are in messages.h.
#include "log/messages.h"

// Where operations report what they are doing: the progress text of the wizard and the install
// log. ReportProgress and LogMessage take a message id and the one argument of its "%s" (an empty
// argument means none: the message is taken as it stands); LogText writes a line of its own text.
class Reporter {
 public:
  virtual ~Reporter() = default;
  virtual void ReportProgress(MessageId id, std::string_view argument) = 0;
  virtual void LogMessage(MessageId id, std::string_view argument) = 0;
  virtual void LogText(std::string_view text) = 0;
};

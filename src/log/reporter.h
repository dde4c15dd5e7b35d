#pragma once

#include <cstdint>
#include <string_view>

using MessageId = std::uint16_t;

namespace message {
inline constexpr MessageId kUncompressingFile = 74;  // "Uncompressing the file...%s."
inline constexpr MessageId kRetrievingFile = 83;     // "Retrieving file, %s from zip file."
}  // namespace message

// Where operations report what they are doing: the progress text of the wizard and the install
// log. ReportProgress and LogMessage take a message id and the one argument of its "%s"; LogText
// writes a line of its own text.
class Reporter {
 public:
  virtual ~Reporter() = default;
  virtual void ReportProgress(MessageId id, std::string_view argument) = 0;
  virtual void LogMessage(MessageId id, std::string_view argument) = 0;
  virtual void LogText(std::string_view text) = 0;
};

#include "log/log_line.h"

#include "platform/session.h"

namespace logging {
namespace {

// The line is built in a 520-byte buffer; every field keeps 4 bytes free for CR, LF and the zero.
constexpr std::size_t kLineCapacity = 520;
constexpr std::size_t kFieldReserve = 4;

void AppendField(std::string& line, std::string_view field) {
  const std::size_t room = kLineCapacity - kFieldReserve - line.size();
  line.append(field.substr(0, room));
}

}  // namespace

LogLineFields CurrentLogLineFields() {
  return LogLineFields{platform::CurrentDateText(), platform::CurrentTimeText(),
                       platform::UserName(), platform::ComputerName()};
}

std::string BuildLogLine(const LogLineFields& fields, std::string_view text) {
  std::string message(text.substr(0, kLineCapacity - 1));
  if (fields.computer)
    message = (*fields.computer + '\t' + message).substr(0, kLineCapacity - 1);

  std::string line;
  if (fields.date) {
    AppendField(line, *fields.date);
    AppendField(line, "\t");
    if (fields.time) {
      AppendField(line, *fields.time);
      AppendField(line, "\t");
      AppendField(line, "\t");
      if (fields.user) {
        AppendField(line, *fields.user);
        AppendField(line, "\t");
      }
      AppendField(line, message);
    }
  }
  if (!line.empty())
    line += "\r\n";
  return line;
}

}  // namespace logging

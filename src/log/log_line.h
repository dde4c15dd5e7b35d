#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace logging {

// What a log line says besides its message; each field is none when the system cannot give it.
struct LogLineFields {
  std::optional<std::string> date;
  std::optional<std::string> time;
  std::optional<std::string> user;
  std::optional<std::string> computer;
};

// The fields as the system gives them now.
LogLineFields CurrentLogLineFields();

// One line of the install log: date, time, the empty status field, user, computer and text,
// separated by tabs and ended by CR LF, at most 518 characters. A user or computer that cannot be
// read is left out with its tab; without a date the line is empty, without a time it ends after
// the date and its tab.
std::string BuildLogLine(const LogLineFields& fields, std::string_view text);

}  // namespace logging

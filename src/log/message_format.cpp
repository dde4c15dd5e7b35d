#include "log/message_format.h"

namespace logging {

std::string FormatMessageText(std::string_view message, std::string_view argument,
                              std::size_t capacity) {
  const std::size_t limit = capacity > 0 ? capacity - 1 : 0;
  if (argument.empty())
    return std::string(message.substr(0, limit));
  std::string text;
  bool argument_used = false;
  for (std::size_t i = 0; i < message.size() && text.size() < limit; ++i) {
    const char next = i + 1 < message.size() ? message[i + 1] : '\0';
    if (message[i] == '%' && next == '%') {
      text += '%';
      ++i;
    } else if (message[i] == '%' && next == 's') {
      if (!argument_used)
        text.append(argument.substr(0, limit - text.size()));
      argument_used = true;
      ++i;
    } else {
      text += message[i];
    }
  }
  return text;
}

}  // namespace logging

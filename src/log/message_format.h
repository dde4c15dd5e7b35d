#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace logging {

// A message with its one argument in place of "%s", cut to capacity - 1 characters. An empty
// argument means none: the message is copied as it stands. Otherwise the message is read as a
// format with the system's rules for the only specifiers the libraries use: "%%" gives "%", the
// first "%s" the argument and any further "%s" nothing (there is no second argument); any other
// "%" is copied.
std::string FormatMessageText(std::string_view message, std::string_view argument,
                              std::size_t capacity);

}  // namespace logging

#include "script/wait_time.h"

namespace script {

WaitTime WaitTimeOf(std::string_view text) {
  std::size_t at = text.find_first_not_of(" \t\r\n\v\f");
  if (at == std::string_view::npos || text[at] == '-')
    return {};
  if (text[at] == '+')
    ++at;
  std::uint64_t count = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    count = count * 10 + static_cast<std::uint64_t>(text[at] - '0');
    if (count > kLongestWaitMilliseconds)
      return {kLongestWaitMilliseconds, true};
  }
  return {static_cast<std::uint32_t>(count), false};
}

}  // namespace script

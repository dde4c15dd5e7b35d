#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace script {

// The items of a comma-separated list argument, one at a time, each trimmed and cut to a value's
// capacity, as views of the text (which must outlive them). The list ends at the end of the text or
// at its first empty item.
class ListItems {
 public:
  explicit ListItems(std::string_view text) : text_(text) {}

  // The next item; none once the list has ended.
  std::optional<std::string_view> Next();

 private:
  std::string_view text_;
  std::optional<std::size_t> cursor_ = 0;
};

}  // namespace script

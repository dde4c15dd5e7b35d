#include "script/list_items.h"

#include "script/values.h"

namespace script {

std::optional<std::string_view> ListItems::Next() {
  if (!cursor_)
    return std::nullopt;
  std::string_view item;
  cursor_ = NextItem(text_, *cursor_, item, kValueCapacity, ',');
  if (!cursor_ || item.empty()) {
    cursor_.reset();
    return std::nullopt;
  }
  return item;
}

}  // namespace script

#include "system/list_items.h"

#include "script/values.h"

namespace system_commands {

std::optional<std::string> ListItems::Next() {
  if (!cursor_)
    return std::nullopt;
  std::string item;
  cursor_ = script::NextItem(text_, *cursor_, item, script::kValueCapacity, ',');
  if (!cursor_ || item.empty()) {
    cursor_.reset();
    return std::nullopt;
  }
  return item;
}

void ReportItem(script::ScriptContext& context, MessageId id, const std::string& item) {
  context.env.reporter.ReportProgress(id, item);
  context.env.reporter.LogMessage(id, item);
}

}  // namespace system_commands

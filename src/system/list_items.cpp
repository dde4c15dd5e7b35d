#include "system/list_items.h"

namespace system_commands {

void ReportItem(script::ScriptContext& context, MessageId id, const std::string& item) {
  context.env.reporter.ReportProgress(id, item);
  context.env.reporter.LogMessage(id, item);
}

}  // namespace system_commands

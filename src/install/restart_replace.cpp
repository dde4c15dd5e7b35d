#include "install/restart_replace.h"

// PLACEHOLDER bodies until replacement at restart lands.
namespace install {

Status ScheduleReplaceOnReboot(script::ScriptContext&, const std::string&, std::string&) {
  return status::kUnknownCommand;
}
Status AddRenameLines(std::string_view) {
  return status::kUnknownCommand;
}

}  // namespace install

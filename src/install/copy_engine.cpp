#include "install/copy_engine.h"

// PLACEHOLDER bodies until the copy engine lands.
namespace install {

Status BackupFile(script::ScriptContext&, const std::string&) {
  return status::kUnknownCommand;
}
Status CopyIntoPlace(script::ScriptContext&, const std::string&, const std::string&, bool) {
  return status::kUnknownCommand;
}
bool ClearDestination(const std::string&) {
  return false;
}
Status PlaceFile(script::ScriptContext&, const std::string&, std::string&, bool) {
  return status::kUnknownCommand;
}

}  // namespace install

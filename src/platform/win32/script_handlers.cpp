#include "install/handlers.h"
#include "script/handler_table.h"

namespace script {

// The Windows-only subsystems: file installation now; registry and services add their lists here
// as they arrive.
std::vector<HandlerList> PlatformHandlerLists() {
  return {install::InstallCommandHandlers(), install::MoveCommandHandlers(),
          install::FileCommandHandlers(), install::FolderCommandHandlers()};
}

}  // namespace script

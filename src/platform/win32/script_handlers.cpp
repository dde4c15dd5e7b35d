#include "script/handler_table.h"

namespace script {

// The Windows-only subsystems (file installation, registry, services) add their handler lists
// here as they arrive.
std::vector<HandlerList> PlatformHandlerLists() {
  return {};
}

}  // namespace script

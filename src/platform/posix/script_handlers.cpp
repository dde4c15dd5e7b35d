#include "script/handler_table.h"

namespace script {

// File installation, registry and services exist only in the Windows build: the native build runs
// the portable commands alone.
std::vector<HandlerList> PlatformHandlerLists() {
  return {};
}

}  // namespace script

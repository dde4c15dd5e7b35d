#include "install/handlers.h"

namespace install {

// PLACEHOLDER until this group's handlers land.
script::HandlerList FileCommandHandlers() {
  return {};
}

}  // namespace install

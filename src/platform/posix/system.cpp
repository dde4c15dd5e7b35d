#include "platform/system.h"

namespace platform {

bool IsNtFamily() {
  return true;
}

}  // namespace platform

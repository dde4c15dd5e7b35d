#include "platform/com.h"

namespace platform {

// There is no COM here; the scope only keeps the shape of the Windows code.
ComScope::ComScope() = default;
ComScope::~ComScope() = default;

}  // namespace platform

#pragma once

#include <cstdint>
#include <functional>

namespace platform {

// Told, after each block of a pass over a file (a copy, a decode), how many bytes of how many the
// pass has done so far.
using PassProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

}  // namespace platform

#pragma once

#include <cstdint>

namespace package {

// The runtime library's classic generator (the srand/rand pair), written out here so that the
// temporary folder names follow the same sequence on every platform.
class RuntimeRandom {
 public:
  static constexpr unsigned kValueCount = 32768;  // values 0 to 32767

  explicit RuntimeRandom(std::uint32_t seed) : state_(seed) {}

  unsigned Next() {
    state_ = state_ * 214013u + 2531011u;
    return (state_ >> 16) & 0x7FFF;
  }

 private:
  std::uint32_t state_;
};

}  // namespace package

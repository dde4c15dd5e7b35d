#pragma once

namespace platform {

// COM for the calling thread (multithreaded) on the NT family, for as long as the object lives.
// Nothing on the 9x family and on platforms without COM.
class ComScope {
 public:
  ComScope();
  ~ComScope();
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  [[maybe_unused]] bool initialised_ = false;  // used by the Windows implementation only
};

}  // namespace platform

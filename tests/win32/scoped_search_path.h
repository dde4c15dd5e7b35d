#pragma once

// Sets the PATH of the test process for as long as the object lives, for the commands and calls
// that search it.

#include <windows.h>

#include <optional>
#include <string>

namespace test_support {

class ScopedSearchPath {
 public:
  explicit ScopedSearchPath(const std::string& value) {
    const DWORD size = ::GetEnvironmentVariableA("PATH", nullptr, 0);
    if (size > 0) {
      std::string previous(size, '\0');
      previous.resize(::GetEnvironmentVariableA("PATH", previous.data(), size));
      previous_ = previous;
    }
    ::SetEnvironmentVariableA("PATH", value.c_str());
  }
  ~ScopedSearchPath() {
    ::SetEnvironmentVariableA("PATH", previous_ ? previous_->c_str() : nullptr);
  }
  ScopedSearchPath(const ScopedSearchPath&) = delete;
  ScopedSearchPath& operator=(const ScopedSearchPath&) = delete;

 private:
  std::optional<std::string> previous_;
};

}  // namespace test_support

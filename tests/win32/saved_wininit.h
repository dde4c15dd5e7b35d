#pragma once

// The WININIT.INI of the Windows directory, which the 9x family's restart operations write, for
// tests of code that writes it on whatever system they run.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace test_support {

// Sets the prefix's WININIT.INI aside, so that a test starts without one, and puts it back as it
// was (or removes the test's own) when the object goes.
class SavedWininit {
 public:
  SavedWininit();
  ~SavedWininit();
  SavedWininit(const SavedWininit&) = delete;
  SavedWininit& operator=(const SavedWininit&) = delete;

  bool Exists() const;
  // The file's bytes; empty when there is none.
  std::string Text() const;
  bool Write(std::string_view text) const;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::optional<std::vector<std::uint8_t>> saved_;
};

}  // namespace test_support

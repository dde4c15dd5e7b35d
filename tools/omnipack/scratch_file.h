#pragma once

// A temporary file of the tool's own, deleted when its owner goes away.

#include <string>
#include <utility>

namespace omnipack {

class ScratchFile {
 public:
  ScratchFile() = default;
  // Takes over a file that someone else created (for example a set copied out).
  explicit ScratchFile(std::string path) : path_(std::move(path)) {}
  ~ScratchFile();
  ScratchFile(ScratchFile&& other) noexcept;
  ScratchFile& operator=(ScratchFile&& other) noexcept;
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  // A new empty file in the user's temporary directory; empty path() when none could be made.
  static ScratchFile Create();

  const std::string& path() const { return path_; }
  // Gives up ownership: the file stays.
  std::string Release() { return std::exchange(path_, {}); }
  bool IsValid() const { return !path_.empty(); }

 private:
  void Remove();
  std::string path_;
};

}  // namespace omnipack

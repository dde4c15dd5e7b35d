#include "scratch_file.h"

#include <utility>

#include "platform/filesystem.h"

namespace omnipack {

ScratchFile::~ScratchFile() {
  Remove();
}

ScratchFile::ScratchFile(ScratchFile&& other) noexcept : path_(std::exchange(other.path_, {})) {}

ScratchFile& ScratchFile::operator=(ScratchFile&& other) noexcept {
  if (this != &other) {
    Remove();
    path_ = std::exchange(other.path_, {});
  }
  return *this;
}

ScratchFile ScratchFile::Create() {
  return ScratchFile(platform::CreateTempFile(platform::TempDirectory(), "OMP"));
}

void ScratchFile::Remove() {
  if (!path_.empty())
    platform::RemoveFile(path_);
  path_.clear();
}

}  // namespace omnipack

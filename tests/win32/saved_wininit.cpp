#include "saved_wininit.h"

#include "platform/filesystem.h"
#include "platform/win32/system_info.h"
#include "platform/win32/wininit_file.h"
#include "test_support.h"

namespace test_support {

SavedWininit::SavedWininit() : path_(platform::WindowsDirectory() + "\\" + platform::kWininitName) {
  if (platform::IsFile(path_)) {
    saved_ = ReadFileBytes(path_);
    platform::RemoveFile(path_);
  }
}

SavedWininit::~SavedWininit() {
  if (saved_) {
    WriteFileBytes(path_, *saved_);
  } else {
    platform::RemoveFile(path_);
  }
}

bool SavedWininit::Exists() const {
  return platform::IsFile(path_);
}

std::string SavedWininit::Text() const {
  const auto bytes = ReadFileBytes(path_);
  return std::string(bytes.begin(), bytes.end());
}

bool SavedWininit::Write(std::string_view text) const {
  return WriteFileText(path_, text);
}

}  // namespace test_support

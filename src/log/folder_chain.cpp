#include "log/folder_chain.h"

#include "base/path.h"
#include "platform/file.h"
#include "platform/filesystem.h"
#include "platform/folders.h"

namespace logging {

bool MakeFolderChain(const std::string& path) {
  std::string chain = path.substr(0, base::kPathCapacity - 1);
  if (!base::EndsWithSeparator(chain))
    chain += '\\';
  platform::CreateFoldersAlong(chain);
  return platform::IsExistingDirectory(path);
}

bool EnsureFileCreatable(const std::string& path) {
  if (platform::IsFile(path))
    return true;
  // A name without a folder lies in the current folder, which exists.
  std::string folder = path;
  if (base::StripFileName(folder) && !MakeFolderChain(folder))
    return false;
  return platform::File::Create(path).IsOpen();
}

}  // namespace logging

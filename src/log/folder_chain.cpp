#include "log/folder_chain.h"

#include "platform/file.h"
#include "platform/filesystem.h"
#include "script/path.h"

namespace logging {

bool MakeFolderChain(const std::string& path) {
  std::string chain = path.substr(0, script::kPathCapacity - 1);
  if (!script::EndsWithSeparator(chain))
    chain += '\\';
  script::CreateFoldersAlong(chain);
  return script::IsExistingDirectory(path);
}

bool EnsureFileCreatable(const std::string& path) {
  if (platform::IsFile(path))
    return true;
  // A name without a folder lies in the current folder, which exists.
  std::string folder = path;
  if (script::StripFileName(folder) && !MakeFolderChain(folder))
    return false;
  return platform::File::Create(path).IsOpen();
}

}  // namespace logging

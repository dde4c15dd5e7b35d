#include "script/script_file.h"

#include <cstdint>
#include <limits>
#include <new>

#include "platform/file.h"

namespace script {

Status ReadScriptFile(const std::string& path, std::string& text) {
  text.clear();
  platform::File file = platform::File::OpenExisting(path, platform::OpenMode::kReadShareRead);
  if (!file.IsOpen())
    return status::kOpenFailed;
  const std::int64_t size = file.Size();
  if (size < 0 || file.Seek(0, platform::SeekOrigin::kBegin) != 0)
    return status::kReadFailed;
  if (size == 0)
    return status::kEmptyFile;
  // One read moves at most 4 GB; nothing that large is a script.
  if (static_cast<std::uint64_t>(size) >= std::numeric_limits<std::uint32_t>::max() ||
      static_cast<std::uint64_t>(size) >= text.max_size())
    return status::kNoMemory;
  try {
    text.resize(static_cast<std::size_t>(size));
  } catch (const std::bad_alloc&) {
    return status::kNoMemory;
  }
  const auto count = static_cast<std::uint32_t>(size);
  if (file.Read(text.data(), count) != count) {
    std::string().swap(text);
    return status::kReadFailed;
  }
  return status::kOk;
}

}  // namespace script

#include "install/write_test.h"

#include <cstdint>
#include <string>

#include "base/hex_text.h"
#include "base/path.h"
#include "package/runtime_random.h"
#include "platform/file.h"
#include "platform/filesystem.h"
#include "platform/system.h"

namespace install {

bool PassesWriteTest(const std::string& folder) {
  package::RuntimeRandom random(static_cast<std::uint32_t>(platform::CurrentTime()));
  const std::string name = "ORQ" + base::HexText(random.Next()) + ".tmp";
  std::string path = folder;
  if (!base::JoinPath(path, base::kPathCapacity, name))
    return false;
  if (!platform::File::Create(path).IsOpen())
    return false;
  platform::RemoveFile(path);
  return true;
}

}  // namespace install

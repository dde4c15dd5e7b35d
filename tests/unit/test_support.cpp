#include "test_support.h"

#include <atomic>
#include <string>

#include "platform/file.h"
#include "platform/filesystem.h"
#include "platform/system.h"

namespace test_support {

std::string SystemPath(std::string_view host_path) {
  std::string path(host_path);
  for (char& c : path) {
    if (c == '/')
      c = '\\';
  }
#ifdef _WIN32
  if (!path.empty() && path[0] == '\\')
    path.insert(0, "Z:");
#endif
  return path;
}

std::string FixturePath(std::string_view relative) {
  return SystemPath(std::string(OMNI_FIXTURES) + "/" + std::string(relative));
}

ScratchFolder::ScratchFolder() {
  static std::atomic<unsigned> counter{0};
  std::string base = platform::TempDirectory();
  if (!base.empty() && base.back() != '\\' && base.back() != '/')
    base += '\\';
  const std::string stem = base + "omni-test-" + std::to_string(platform::CurrentTime()) + "-";
  for (;;) {
    path_ = stem + std::to_string(counter++);
    if (platform::CreateFolder(path_) == platform::CreateFolderResult::kCreated)
      break;
  }
}

ScratchFolder::~ScratchFolder() {
  RemoveTree(path_);
}

std::string ScratchFolder::operator/(std::string_view name) const {
  return path_ + "\\" + std::string(name);
}

void RemoveTree(const std::string& path) {
  platform::ListFolder(path, [&](const platform::FolderEntry& entry) {
    const std::string child = path + "\\" + entry.name;
    if (entry.is_folder) {
      RemoveTree(child);
    } else {
      platform::RemoveFile(child);
    }
    return true;
  });
  platform::RemoveFolder(path);
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
  std::vector<std::uint8_t> bytes;
  platform::File file = platform::File::OpenStream(path, platform::StreamMode::kRead);
  if (!file.IsOpen())
    return bytes;
  std::uint8_t block[65536];
  for (;;) {
    const std::uint32_t got = file.Read(block, sizeof block);
    if (got == 0)
      break;
    bytes.insert(bytes.end(), block, block + got);
  }
  return bytes;
}

bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  platform::File file = platform::File::OpenStream(path, platform::StreamMode::kWriteTruncate);
  if (!file.IsOpen())
    return false;
  const auto size = static_cast<std::uint32_t>(bytes.size());
  return file.Write(bytes.data(), size) == size && file.Close();
}

bool WriteFileText(const std::string& path, std::string_view text) {
  return WriteFileBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

}  // namespace test_support

#include "package/data_file.h"

#include <array>
#include <string_view>

#include "base/ascii_case.h"
#include "base/path.h"
#include "package/format.h"
#include "platform/file.h"
#include "platform/filesystem.h"

namespace package {
namespace {

constexpr std::string_view kDefinitionDataFiles[] = {"DETECT.DAT", "REPAIR.DAT", "TITLES.DAT"};
constexpr std::uint32_t kTransferSize = 4096;

using KeyTable = std::array<std::uint8_t, 256>;

// The key of a seed: v := ((v + 0x3A1D) * 0x0F35) mod 65536 mod 65521, applied once per entry
// starting from v = seed, each entry the low byte of the new v. The package builder scrambles with
// the same table, so these constants are part of the file format.
KeyTable BuildKeyTable(std::uint16_t seed) {
  KeyTable table;
  std::uint32_t value = seed;
  for (std::uint8_t& entry : table) {
    value = ((value + 0x3A1D) * 0x0F35) % 65536 % 65521;
    entry = static_cast<std::uint8_t>(value);
  }
  return table;
}

}  // namespace

bool IsDefinitionDataFile(std::string_view path) {
  std::string name = base::FileNameOf(path);
  if (name.empty())
    name = path;  // a bare name is its own file-name part
  for (std::string_view data_file : kDefinitionDataFiles) {
    if (base::EqualsIgnoringCase(name, data_file))
      return true;
  }
  return false;
}

void ScrambleDataBytes(std::uint16_t seed, std::uint64_t position, std::uint8_t* bytes,
                       std::size_t count) {
  const KeyTable table = BuildKeyTable(seed);
  for (std::size_t i = 0; i < count; ++i)
    bytes[i] ^= table[(position + i) % table.size()];
}

bool UnscrambleDataFile(std::string& path, bool replace) {
  std::string output = path;
  std::string underscored = "_";
  underscored += base::FileNameOf(path);
  if (!base::StripFileName(output) || !base::JoinPath(output, base::kPathCapacity, underscored)) {
    return false;
  }

  platform::File input = platform::File::OpenStream(path, platform::StreamMode::kRead);
  if (!input.IsOpen())
    return false;
  platform::File unscrambled =
      platform::File::OpenStream(output, platform::StreamMode::kReadWriteTruncate);
  if (!unscrambled.IsOpen())
    return false;

  // The header passes unchanged; a shorter file is padded with zeros, which gives seed 0.
  std::array<std::uint8_t, kTransferSize> buffer{};
  input.Read(buffer.data(), kDataFileHeaderSize);
  const std::uint16_t seed = ReadLe16(&buffer[kDataFileHeaderSize - 2]);
  bool written = unscrambled.Write(buffer.data(), kDataFileHeaderSize) == kDataFileHeaderSize;
  std::uint64_t position = kDataFileHeaderSize;
  while (written) {
    const std::uint32_t got = input.Read(buffer.data(), kTransferSize);
    if (got == 0)
      break;
    ScrambleDataBytes(seed, position, buffer.data(), got);
    written = unscrambled.Write(buffer.data(), got) == got;
    position += got;
  }
  input.Close();
  written = unscrambled.Close() && written;
  if (!written) {
    platform::RemoveFile(output);
    return false;
  }

  if (!replace) {
    path = output;
    return true;
  }
  return platform::RemoveFile(path) && platform::RenameFile(output, path);
}

}  // namespace package

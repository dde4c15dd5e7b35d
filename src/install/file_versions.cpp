#include "install/file_versions.h"

#include <array>
#include <cstdint>
#include <string>

#include "base/ascii_case.h"
#include "base/path.h"
#include "install/work_path.h"
#include "package/format.h"
#include "platform/file.h"
#include "script/values.h"
#include "script/variables.h"

namespace install {
namespace {

using script::ScriptCommand;
using script::ScriptContext;

constexpr std::uint32_t kChunkSize = 1024;
constexpr std::size_t kVersionLength = 5;  // digit "." digit "." digit
// A version text counts only with one more character after it.
constexpr std::size_t kVersionRoom = kVersionLength + 1;
constexpr std::string_view kVersionWordRest = "ERSION";
// Files without a version text keep it in their last seven bytes.
constexpr std::int64_t kTailLength = 7;
constexpr std::uint32_t kDatHeaderLength = 73;
constexpr std::size_t kDatVersionOffset = 69;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Text stored in 16-bit characters reads as 8-bit text once its zero bytes are gone.
std::string WithoutZeros(const char* bytes, std::uint32_t count) {
  std::string text;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (bytes[i] != 0)
      text += bytes[i];
  }
  return text;
}

// Each window is a chunk together with the one before it, so that a version text crossing a
// chunk border is found.
std::optional<std::string> FindVersionInFile(platform::File& file, std::string_view key) {
  std::array<char, kChunkSize> chunk;
  std::string previous;
  for (;;) {
    const std::uint32_t got = file.Read(chunk.data(), kChunkSize);
    if (got == 0)
      return std::nullopt;
    std::string current = WithoutZeros(chunk.data(), got);
    if (std::optional<std::string> version = FindVersionText(previous + current, key))
      return version;
    previous = std::move(current);
  }
}

// The first of the last seven bytes is the major number, the second the minor and the build as
// one or two decimal digits. A file of just seven bytes has no room before them and holds none.
std::optional<std::string> FindVersionInTail(platform::File& file) {
  std::array<std::uint8_t, kTailLength> tail{};
  if (file.Seek(-kTailLength, platform::SeekOrigin::kEnd) <= 0 ||
      file.Read(tail.data(), kTailLength) < 2) {
    return std::nullopt;
  }
  const unsigned major = tail[0];
  const unsigned rest = tail[1];
  if (major > 9 || rest > 99)
    return std::nullopt;
  const char major_digit = static_cast<char>('0' + major);
  if (rest <= 9)
    return std::string{major_digit, '.', '0', '.', static_cast<char>('0' + rest)};
  return std::string{major_digit, '.', static_cast<char>('0' + rest / 10), '.',
                     static_cast<char>('0' + rest % 10)};
}

Status ReadFileVersion(ScriptContext& context, const ScriptCommand& command) {
  std::string out, name;
  if (script::SplitAssignment(command.argument, out, script::kValueCapacity, name,
                              script::kValueCapacity) != status::kOk) {
    return status::kNoVersion;
  }
  std::string key = name;
  base::StripExtension(key);
  platform::File file =
      platform::File::OpenExisting(WorkPath(context, name), platform::OpenMode::kReadShareRead);
  if (!file.IsOpen())
    return status::kNoVersion;
  std::optional<std::string> version = FindVersionInFile(file, key);
  if (!version)
    version = FindVersionInTail(file);
  if (!version)
    return status::kNoVersion;
  return script::SetVariable(context, out, *version);
}

Status ReadDatVersion(ScriptContext& context, const ScriptCommand& command) {
  std::string out, name;
  const Status split = script::SplitAssignment(command.argument, out, script::kValueCapacity, name,
                                               script::kValueCapacity);
  if (split != status::kOk)
    return split;
  platform::File file =
      platform::File::OpenExisting(WorkPath(context, name), platform::OpenMode::kReadShareRead);
  std::array<std::uint8_t, kDatHeaderLength> header{};
  if (!file.IsOpen() || file.Read(header.data(), kDatHeaderLength) < kDatHeaderLength)
    return status::kNoVersion;
  const std::uint16_t version = package::ReadLe16(header.data() + kDatVersionOffset);
  return script::SetVariable(context, out, std::to_string(version));
}

}  // namespace

std::optional<std::string> FindVersionText(std::string_view window, std::string_view key) {
  if (key.empty())
    return std::nullopt;  // nothing to search after, and no way to move on
  const std::string text = base::FoldedAsciiCase(window);
  const std::string upper_key = base::FoldedAsciiCase(key);
  std::size_t from = 0;
  for (std::size_t at; (at = text.find(upper_key, from)) != std::string::npos; from = at) {
    at += upper_key.size();
    const auto skip = [&](char c) {
      while (at < text.size() && text[at] == c)
        ++at;
    };
    skip(' ');
    skip('.');
    if (at < text.size() && text[at] == 'V') {
      ++at;
      if (text.size() - at > kVersionWordRest.size() &&
          text.compare(at, kVersionWordRest.size(), kVersionWordRest) == 0) {
        at += kVersionWordRest.size();
      }
      skip(' ');
      skip('.');
    }
    if (text.size() - at >= kVersionRoom && IsDigit(text[at]) && text[at + 1] == '.' &&
        IsDigit(text[at + 2]) && text[at + 3] == '.' && IsDigit(text[at + 4])) {
      return text.substr(at, kVersionLength);
    }
  }
  return std::nullopt;
}

Status GetFileVersion(ScriptContext& context, const ScriptCommand& command) {
  return script::FinishCommand(context, ReadFileVersion(context, command));
}

Status Get4xDatVersion(ScriptContext& context, const ScriptCommand& command) {
  return script::FinishCommand(context, ReadDatVersion(context, command));
}

}  // namespace install

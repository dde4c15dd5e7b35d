#include "platform/win32/wininit_file.h"

#include <windows.h>

#include <cstdint>
#include <limits>
#include <new>

#include "base/path.h"
#include "platform/file.h"
#include "platform/filesystem.h"
#include "platform/win32/system_info.h"

namespace platform {
namespace {

// The header this installer writes; an existing one is recognised in any letter case.
constexpr std::string_view kSectionHeader = "[rename]\r\n";
constexpr std::string_view kSectionName = "[rename]";

bool WriteAll(File& file, std::string_view text) {
  return file.Write(text.data(), static_cast<std::uint32_t>(text.size())) == text.size();
}

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// True when line holds "[rename]" in any letter case, anywhere: a header after other text (or in
// a comment) opens the section too, as the 9x start-up reads it.
bool MentionsRenameSection(std::string_view line) {
  for (std::size_t at = 0; at + kSectionName.size() <= line.size(); ++at) {
    std::size_t i = 0;
    while (i < kSectionName.size() && LowerAscii(line[at + i]) == kSectionName[i])
      ++i;
    if (i == kSectionName.size())
      return true;
  }
  return false;
}

// text with lines inserted at the end of its "[rename]" section: before the header of the next
// section, or at the end of the text, under a new header when it has no such section. A last line
// without its LF is completed first. Lines of any length pass through whole.
std::string MergedText(std::string_view text, std::string_view lines) {
  std::string merged;
  merged.reserve(text.size() + kSectionHeader.size() + lines.size() + 2);
  bool in_section = false;
  std::size_t position = 0;
  while (position < text.size()) {
    const std::size_t end = text.find('\n', position);
    const std::string_view line =
        text.substr(position, end == std::string_view::npos ? end : end + 1 - position);
    position += line.size();
    std::string_view completion;
    if (end == std::string_view::npos)
      completion = line.back() == '\r' ? "\n" : "\r\n";
    if (in_section && line.front() == '[') {
      merged.append(lines).append(line).append(completion).append(text.substr(position));
      return merged;
    }
    merged.append(line).append(completion);
    in_section = in_section || MentionsRenameSection(line);
  }
  if (!in_section)
    merged.append(kSectionHeader);
  merged.append(lines);
  return merged;
}

// A new or empty WININIT.INI, positioned at its end: the section and the lines.
Status WriteNewSection(File& ini, std::string_view lines) {
  const bool written = WriteAll(ini, kSectionHeader) && WriteAll(ini, lines);
  return ini.Close() && written ? status::kOk : status::kWriteFailed;
}

bool ReadWhole(File& file, std::string& text) {
  if (file.Seek(0, SeekOrigin::kBegin) != 0)
    return false;
  std::size_t done = 0;
  while (done < text.size()) {
    const std::uint32_t got =
        file.Read(text.data() + done, static_cast<std::uint32_t>(text.size() - done));
    if (got == 0)
      return false;
    done += got;
  }
  return true;
}

// The merged text is built in the scratch file and copied over WININIT.INI only once it is
// complete, so a failure leaves WININIT.INI as it was. Closes ini.
Status MergeRenameLines(File& ini, const std::string& ini_path, const std::string& scratch_path,
                        std::int64_t size, std::string_view lines) {
  if (static_cast<std::uint64_t>(size) > std::numeric_limits<std::uint32_t>::max())
    return status::kWriteFailed;
  std::string merged;
  try {
    std::string text(static_cast<std::size_t>(size), '\0');
    if (!ReadWhole(ini, text))
      return status::kWriteFailed;
    merged = MergedText(text, lines);
  } catch (const std::bad_alloc&) {
    return status::kWriteFailed;
  }
  ini.Close();

  bool built = false;
  {
    File scratch = File::Create(scratch_path);
    built = scratch.IsOpen() && WriteAll(scratch, merged) && scratch.Close();
  }
  // Copied over the old file rather than deleting it first: a failed copy must not lose it.
  const bool replaced =
      built && ::CopyFileA(scratch_path.c_str(), ini_path.c_str(), FALSE) != FALSE;
  RemoveFile(scratch_path);
  return replaced ? status::kOk : status::kWriteFailed;
}

}  // namespace

Status AddRenameLinesIn(const std::string& folder, std::string_view lines) {
  std::string ini_path = folder;
  std::string scratch_path = folder;
  if (!base::JoinPath(ini_path, base::kPathCapacity, kWininitName) ||
      !base::JoinPath(scratch_path, base::kPathCapacity, kWininitScratchName)) {
    return status::kOpenFailed;
  }
  File ini = File::OpenExisting(ini_path, OpenMode::kReadWriteShareRead);
  if (!ini.IsOpen()) {
    ini = File::Create(ini_path);
    if (!ini.IsOpen())
      return status::kOpenFailed;
    return WriteNewSection(ini, lines);
  }
  // Size leaves the position at the end, where an empty file gets its section.
  const std::int64_t size = ini.Size();
  if (size < 0)
    return status::kEmptyFile;
  if (size == 0)
    return WriteNewSection(ini, lines);
  return MergeRenameLines(ini, ini_path, scratch_path, size, lines);
}

Status AddRenameLines(std::string_view lines) {
  const std::string folder = WindowsDirectory();
  if (folder.empty())
    return status::kOpenFailed;
  return AddRenameLinesIn(folder, lines);
}

}  // namespace platform

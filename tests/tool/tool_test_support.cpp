#include "tool_test_support.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

#include <gtest/gtest.h>

#include "package/crc32.h"
#include "package/file_time.h"

extern char** environ;

namespace tool_test {

TempDir::TempDir() {
  static std::atomic<unsigned> counter{0};
  const fs::path base = fs::temp_directory_path();
  for (;;) {
    path_ =
        base / ("omnipack-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    if (fs::create_directory(path_))
      break;
  }
}

TempDir::~TempDir() {
  std::error_code error;
  fs::remove_all(path_, error);
}

namespace {

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

ToolRun BuildFixtureInstaller(const std::string& out) {
  return RunTool({"build", "--main", FixturePath("main").string(), "--lang",
                  FixturePath("lang").string(), "--stub", FixturePath("stub.exe").string(), "-o",
                  out});
}

ToolRun RunTool(const std::vector<std::string>& args, const std::string& binary) {
  TempDir capture;
  const std::string out_path = capture / "stdout";
  const std::string err_path = capture / "stderr";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  std::vector<char*> argv;
  std::string program = binary;
  argv.push_back(program.data());
  std::vector<std::string> copies = args;
  for (std::string& arg : copies)
    argv.push_back(arg.data());
  argv.push_back(nullptr);

  ToolRun run;
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, binary.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    ADD_FAILURE() << "cannot start " << binary;
    return run;
  }
  int status = 0;
  waitpid(pid, &status, 0);
  run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = ReadText(out_path);
  run.err = ReadText(err_path);
  return run;
}

fs::path FixturePath(const std::string& relative) {
  return fs::path(OMNI_FIXTURES) / "omnipack" / relative;
}

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

void WriteText(const fs::path& path, const std::string& text) {
  WriteBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

void SetModificationTime(const fs::path& path, const package::TimeStamp& time) {
  ASSERT_TRUE(package::SetFileTimeStamp(path.string(), time)) << path;
}

package::TimeStamp ModificationTime(const fs::path& path) {
  package::TimeStamp time;
  EXPECT_TRUE(package::GetFileTimeStamp(path.string(), time)) << path;
  return time;
}

void CopyFixtureFolder(const std::string& name, const fs::path& target) {
  fs::copy(FixturePath(name), target, fs::copy_options::recursive);
  for (const std::string& file : FilesBelow(target))
    SetModificationTime(target / file, kFixtureTime);
}

std::vector<std::string> FilesBelow(const fs::path& folder) {
  std::vector<std::string> files;
  for (const fs::directory_entry& item : fs::recursive_directory_iterator(folder)) {
    if (item.is_regular_file())
      files.push_back(item.path().lexically_relative(folder).string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::uint32_t FileCrc(const std::vector<std::uint8_t>& bytes) {
  std::uint32_t crc = package::kFileCrcStart;
  package::Crc32Update(bytes.data(), bytes.size(), &crc);
  return crc;
}

package::PackageTrailer TrailerOf(const std::vector<std::uint8_t>& installer) {
  package::TrailerBytes bytes{};
  std::copy(installer.end() - package::kTrailerSize, installer.end(), bytes.begin());
  return package::ParseTrailer(bytes);
}

std::vector<package::DirectoryRecord> DirectoryOf(const std::vector<std::uint8_t>& installer) {
  const package::PackageTrailer trailer = TrailerOf(installer);
  std::vector<package::DirectoryRecord> records;
  auto at = installer.end() - package::kTrailerSize -
            static_cast<std::ptrdiff_t>(package::kDirectoryRecordSize * trailer.record_count);
  for (std::uint32_t i = 0; i < trailer.record_count; ++i) {
    package::DirectoryRecordBytes bytes{};
    std::copy(at, at + package::kDirectoryRecordSize, bytes.begin());
    records.push_back(package::ParseDirectoryRecord(bytes));
    at += package::kDirectoryRecordSize;
  }
  return records;
}

std::uint64_t MainSetStart(const package::PackageTrailer& trailer) {
  return std::uint64_t{trailer.payload_offset} + 8 + trailer.language_set_size;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

}  // namespace tool_test

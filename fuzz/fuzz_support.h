#pragma once

// What the fuzz targets share: the code under test reads files, so each input is written to a file
// of its own first; and a reporter that drops what it is told.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "log/reporter.h"
#include "platform/file.h"
#include "platform/filesystem.h"

namespace fuzz_support {

// A file of this process in the temporary folder, rewritten with every input and removed at exit.
// A file that cannot be written ends the process: a target that silently tested nothing would look
// like a clean run.
class InputFile {
 public:
  InputFile() : path_(platform::CreateTempFile(platform::TempDirectory(), "FUZ")) {
    if (path_.empty())
      Fail("no temporary file");
  }
  ~InputFile() { platform::RemoveFile(path_); }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Replaces the file's content with the bytes; returns the file's path.
  const std::string& Write(const std::uint8_t* data, std::size_t size) {
    platform::File file = platform::File::Create(path_);
    const auto count = static_cast<std::uint32_t>(size);
    if (!file.IsOpen() || count != size || (count > 0 && file.Write(data, count) != count) ||
        !file.Close()) {
      Fail("cannot write the input file");
    }
    return path_;
  }

  const std::string& path() const { return path_; }

  [[noreturn]] static void Fail(const char* what) {
    std::fprintf(stderr, "fuzz: %s\n", what);
    std::abort();
  }

 private:
  std::string path_;
};

class SilentReporter : public Reporter {
 public:
  void ReportProgress(MessageId, std::string_view) override {}
  void LogMessage(MessageId, std::string_view) override {}
  void LogText(std::string_view) override {}
};

}  // namespace fuzz_support

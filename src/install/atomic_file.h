#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/file.h"

namespace install {

// A new file written beside the path it is meant for, under a temporary name of its own, that
// takes that path in one rename once it is whole: whoever looks at the path finds the old file or
// the whole new one, never a part, also after the process was killed. Removed again when it is
// not committed.
class AtomicFile {
 public:
  // Creates the file, empty, in target's folder; IsOpen() is false when none can be made there.
  explicit AtomicFile(std::string target);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  bool IsOpen() const { return file_.IsOpen(); }
  // Opens the file again after a Commit that failed; false when it cannot be.
  bool Reopen();
  platform::File& file() { return file_; }
  // The temporary name, while the file is not committed.
  const std::string& path() const { return path_; }

  // Closes the file (waiting until it has reached the disk first when flush is set: the file it
  // replaces is then never traded for one the disk does not hold yet), gives it attributes (the
  // system's bits) when they are given, and renames it onto the target, replacing a file there
  // only with replace_existing. False when that fails: the file stays under its temporary name,
  // closed, until this is destroyed or a later Commit renames it.
  bool Commit(bool flush, std::optional<std::uint32_t> attributes = std::nullopt,
              bool replace_existing = true);

 private:
  std::string target_;
  std::string path_;
  platform::File file_;
  bool committed_ = false;
};

}  // namespace install

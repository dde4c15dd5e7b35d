// Share modes of the low-level file table as the system enforces them (Win32 only).

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/file.h"
#include "platform/filesystem.h"
#include "test_support.h"

namespace {

using platform::File;
using platform::OpenMode;
using platform::StreamMode;

// One way of opening a file: a mode of the low-level table, a stream mode, or creation.
struct Opener {
  const char* name;
  std::optional<OpenMode> mode;
  std::optional<StreamMode> stream;

  File Open(const std::string& path) const {
    if (mode)
      return File::OpenExisting(path, *mode);
    if (stream)
      return File::OpenStream(path, *stream);
    return File::Create(path);
  }
};

const Opener kCreate{"create", {}, {}};
const Opener kAttributesOnly{"mode 0", OpenMode::kAttributesOnly, {}};
const Opener kMode1{"mode 1", OpenMode::kReadWriteShareRead, {}};
const Opener kMode2{"mode 2", OpenMode::kReadShareRead, {}};
const Opener kMode4{"mode 4", OpenMode::kReadShareReadWrite, {}};
const Opener kMode7{"mode 7", OpenMode::kReadExclusive, {}};
const Opener kStreamRead{"stream rb", {}, StreamMode::kRead};
const Opener kStreamUpdate{"stream r+b", {}, StreamMode::kUpdate};

TEST(FileSharing, SecondOpenHonoursTheFirstOpensShareMode) {
  const struct {
    const Opener& held;
    const Opener& second;
    bool opens;
  } cases[] = {
      // Mode 7 shares nothing; only an open without data access gets past it.
      {kMode7, kMode2, false},
      {kMode7, kStreamRead, false},
      {kMode7, kAttributesOnly, true},
      // Mode 2 lets readers in, but no writer.
      {kMode2, kMode2, true},
      {kMode2, kStreamRead, true},
      {kMode2, kMode1, false},
      {kMode2, kStreamUpdate, false},
      {kMode2, kMode7, false},
      // Mode 1 writes, so only opens that share writing get in; a second mode 1 does not.
      {kMode1, kMode1, false},
      {kMode1, kMode2, false},
      {kMode1, kMode4, true},
      {kMode1, kStreamRead, true},
      // Mode 4 and the runtime's streams share reading and writing with each other.
      {kMode4, kStreamUpdate, true},
      {kStreamUpdate, kMode4, true},
      {kStreamRead, kMode2, true},
      {kStreamRead, kCreate, false},
      // A created file is not shared at all.
      {kCreate, kStreamRead, false},
      {kCreate, kMode4, false},
  };
  test_support::ScratchFolder scratch;
  const std::string path = scratch / "shared.bin";
  ASSERT_TRUE(test_support::WriteFileText(path, "data"));
  for (const auto& c : cases) {
    File held = c.held.Open(path);
    ASSERT_TRUE(held.IsOpen()) << c.held.name;
    EXPECT_EQ(c.second.Open(path).IsOpen(), c.opens) << c.held.name << " then " << c.second.name;
  }
}

TEST(FileSharing, AnOpenFileCannotBeDeletedOrRenamed) {
  test_support::ScratchFolder scratch;
  const std::string path = scratch / "held.bin";
  const std::string renamed = scratch / "renamed.bin";
  ASSERT_TRUE(test_support::WriteFileText(path, "data"));
  {
    File held = File::OpenExisting(path, OpenMode::kReadShareReadWrite);
    ASSERT_TRUE(held.IsOpen());
    EXPECT_FALSE(platform::RemoveFile(path));
    EXPECT_FALSE(platform::RenameFile(path, renamed));
  }
  // The handle was closed with its owner.
  EXPECT_TRUE(platform::RenameFile(path, renamed));
  EXPECT_TRUE(platform::RemoveFile(renamed));
}

}  // namespace

#pragma once

#include <algorithm>
#include <cstdint>
#include <span>

#include "base/status.h"
#include "platform/file.h"
#include "platform/pass_progress.h"

namespace platform {

// What a short block does to a block copy.
enum class ShortBlock {
  kStop,  // the copy ends with it; a short read writes nothing of its block
  kGoOn,  // the copy goes on to the end of the size; what a short read gave is still written
};

struct BlockCopyResult {
  // status::kOk, or of the last block that fell short: kReadFailed for a read, kWriteFailed for a
  // write (a block short on both counts as a write failure).
  Status status = status::kOk;
  std::uint64_t written = 0;  // bytes that reached the destination
};

// The one loop that moves data between files: size bytes from from's position (a File, or what
// reads like one), one block of buffer's size at a time, each handed to put, which returns how
// many of its bytes it took. progress, when given, hears after each block how far the copy has
// come.
template <typename Source, typename Put>
BlockCopyResult CopyBlocks(Source& from, std::uint64_t size, std::span<std::uint8_t> buffer,
                           ShortBlock on_short, Put put, const PassProgress& progress = {}) {
  BlockCopyResult result;
  if (buffer.empty() && size > 0) {
    result.status = status::kNoMemory;  // no buffer could be had
    return result;
  }
  for (std::uint64_t left = size; left > 0;) {
    const auto wanted = static_cast<std::uint32_t>(std::min<std::uint64_t>(left, buffer.size()));
    const std::uint32_t got = from.Read(buffer.data(), wanted);
    left -= wanted;
    if (got < wanted) {
      result.status = status::kReadFailed;
      if (on_short == ShortBlock::kStop)
        break;
    }
    const std::uint32_t taken = put(buffer.first(got));
    result.written += taken;
    if (taken < got) {
      result.status = status::kWriteFailed;
      if (on_short == ShortBlock::kStop)
        break;
    }
    if (progress)
      progress(size - left, size);
  }
  return result;
}

// CopyBlocks into a file at its position.
template <typename Source>
BlockCopyResult CopyBlocks(Source& from, File& to, std::uint64_t size,
                           std::span<std::uint8_t> buffer, ShortBlock on_short,
                           const PassProgress& progress = {}) {
  return CopyBlocks(
      from, size, buffer, on_short,
      [&to](std::span<const std::uint8_t> block) {
        return to.Write(block.data(), static_cast<std::uint32_t>(block.size()));
      },
      progress);
}

}  // namespace platform

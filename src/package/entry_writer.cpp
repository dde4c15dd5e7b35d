#include "package/entry_writer.h"

#include <algorithm>
#include <new>

#include "package/format.h"

namespace package {

bool EntryWriter::Put(const std::uint8_t* bytes, std::uint32_t count) {
  Crc32Update(bytes, count, &crc_);
  if (file_.Write(bytes, count) == count)
    return true;
  failed_ = true;
  return false;
}

bool EntryWriter::Write(const std::uint8_t* bytes, std::uint32_t count) {
  const std::uint64_t start = position_;
  position_ += count;
  if (!unscramble_)
    return Put(bytes, count);
  // The header's bytes pass as they are; they always come before the bytes they unscramble.
  std::uint32_t plain_from = 0;
  if (start < kDataFileHeaderSize) {
    plain_from =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(count, kDataFileHeaderSize - start));
    std::copy_n(bytes, plain_from, header_.begin() + start);
    if (!Put(bytes, plain_from))
      return false;
  }
  if (plain_from == count)
    return true;
  // The decoder still reads the block it handed over: the unscrambled bytes go into a copy.
  try {
    plain_.assign(bytes + plain_from, bytes + count);
  } catch (const std::bad_alloc&) {
    return false;
  }
  ScrambleDataBytes(ReadLe16(&header_[kDataFileHeaderSize - 2]), start + plain_from, plain_.data(),
                    plain_.size());
  return Put(plain_.data(), static_cast<std::uint32_t>(plain_.size()));
}

bool EntryWriter::Finish() {
  if (!unscramble_ || position_ >= kDataFileHeaderSize)
    return true;
  const auto padding = static_cast<std::uint32_t>(kDataFileHeaderSize - position_);
  position_ = kDataFileHeaderSize;
  return Put(header_.data() + kDataFileHeaderSize - padding, padding);
}

}  // namespace package

#include "package/lzhuf_decoder.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "package/lzhuf_tree.h"
#include "platform/file.h"

namespace package {
namespace {

using namespace lzhuf;

constexpr std::uint32_t kInputBlock = 64 * 1024;
constexpr std::uint32_t kOutputBlock = 64 * 1024;
// Matches copy whole 8-byte words and may write up to 7 bytes past their end.
constexpr std::uint32_t kCopyWord = 8;

inline std::uint64_t LoadBigEndian64(const std::uint8_t* bytes) {
  std::uint64_t value;
  std::memcpy(&value, bytes, sizeof value);
  if constexpr (std::endian::native == std::endian::little)
    value = __builtin_bswap64(value);
  return value;
}

// The compressed input: the file's bytes, then zero bytes without end, so that a truncated stream
// still decodes to its stated size. Before safe_end() at least 8 bytes can be loaded.
class ZeroPaddedInput {
 public:
  explicit ZeroPaddedInput(platform::File& file) : file_(file) {}

  // Loads the first block; returns where it starts and how many bytes came from the file.
  const std::uint8_t* Start(std::uint32_t& from_file) {
    from_file = Fill(0);
    return data_;
  }

  const std::uint8_t* safe_end() const { return data_ + kInputBlock - 8; }

  // Moves the bytes from next on to the front, reads more behind them and returns where next
  // went.
  const std::uint8_t* Refill(const std::uint8_t* next) {
    const auto left = static_cast<std::uint32_t>(data_ + kInputBlock - next);
    std::memmove(data_, next, left);
    Fill(left);
    return data_;
  }

 private:
  std::uint32_t Fill(std::uint32_t kept) {
    const std::uint32_t wanted = kInputBlock - kept;
    const std::uint32_t got = exhausted_ ? 0 : file_.Read(data_ + kept, wanted);
    if (got < wanted) {
      exhausted_ = true;
      std::memset(data_ + kept + got, 0, wanted - got);
    }
    return got;
  }

  platform::File& file_;
  bool exhausted_ = false;
  std::uint8_t data_[kInputBlock];
};

// The output goes through one buffer that also serves as the dictionary: the 4096 bytes before
// the new output are the ring's contents, so a match is a plain copy from earlier in the buffer.
// When a block is full it is written out and its last 4096 bytes move to the front.
class Decoder {
 public:
  explicit Decoder(platform::File& input) : input_(input) {}

  bool Run(platform::File& output);

 private:
  static constexpr std::uint32_t kHistory = kRingSize;

  bool Flush(platform::File& output, const std::uint8_t* end) {
    const auto count = static_cast<std::uint32_t>(end - (window_ + kHistory));
    return output.Write(window_ + kHistory, count) == count;
  }

  ZeroPaddedInput input_;
  AdaptiveTree tree_;
  std::uint8_t window_[kHistory + kOutputBlock + kLongestMatch + kCopyWord];
};

// Copies a match of length bytes from distance back; the regions may overlap.
inline void CopyMatch(std::uint8_t* out, std::uint32_t distance, std::uint32_t length) {
  std::uint8_t* const end = out + length;
  if (distance < kCopyWord) {
    // The bytes repeat with period distance, so once a few are written a source a multiple of
    // the distance back, at least a word away, gives the same bytes.
    static constexpr std::uint8_t kWordPeriod[kCopyWord] = {0, 8, 8, 9, 8, 10, 12, 14};
    const std::uint32_t period = kWordPeriod[distance];
    std::uint8_t* const lead_end = out + std::min(length, period - distance);
    for (; out < lead_end; ++out)
      *out = out[-static_cast<std::ptrdiff_t>(distance)];
    distance = period;
  }
  for (; out < end; out += kCopyWord)
    std::memcpy(out, out - distance, kCopyWord);
}

bool Decoder::Run(platform::File& output) {
  std::uint32_t from_file = 0;
  const std::uint8_t* in = input_.Start(from_file);
  if (from_file < 4)
    return false;
  std::uint32_t remaining = 0;
  for (int i = 3; i >= 0; --i)
    remaining = (remaining << 8) | in[i];
  in += 4;
  if (remaining == 0)
    return false;

  tree_.Reset();
  FillInitialHistory(window_);

  std::uint64_t bits = 0;  // valid bits at the top; below them bytes that are loaded again
  unsigned bit_count = 0;
  std::uint8_t* out = window_ + kHistory;

  while (remaining != 0) {
    std::uint8_t* const start = out;
    // Symbols start before stop; a match may end past it, but never past the stated size.
    std::uint8_t* const stop = start + std::min(remaining, kOutputBlock);
    std::uint8_t* const limit = start + std::min(remaining, kOutputBlock + kLongestMatch - 1);

    while (out < stop) {
      // Top up to at least 56 bits: a symbol code and a position take at most 36, as the tree's
      // depth stays below 23 (it is a Huffman tree of counts below 2^15).
      if (in > input_.safe_end())
        in = input_.Refill(in);
      bits |= LoadBigEndian64(in) >> bit_count;
      in += (63 - bit_count) >> 3;
      bit_count |= 56;

      unsigned node = tree_.Child(kRoot);
      while (node < kNodeCount) {
        node = tree_.Child(node + static_cast<unsigned>(bits >> 63));
        bits <<= 1;
        --bit_count;
      }
      const unsigned symbol = node - kNodeCount;
      tree_.Update(symbol);

      if (symbol < kFirstLengthSymbol) {
        *out++ = static_cast<std::uint8_t>(symbol);
        continue;
      }
      const unsigned index = static_cast<unsigned>(bits >> 56);
      const unsigned code_length = kPositionCode.length[index];
      const std::uint32_t position =
          (kPositionCode.upper[index] << kPositionLowBits) |
          static_cast<std::uint32_t>((bits << code_length) >> (64 - kPositionLowBits));
      bits <<= code_length + kPositionLowBits;
      bit_count -= code_length + kPositionLowBits;

      const auto length =
          std::min<std::uint32_t>(SymbolLength(symbol), static_cast<std::uint32_t>(limit - out));
      CopyMatch(out, position + 1, length);
      out += length;
    }

    remaining -= static_cast<std::uint32_t>(out - start);
    if (!Flush(output, out))
      return false;
    std::memmove(window_, out - kHistory, kHistory);
    out = window_ + kHistory;
  }
  return true;
}

}  // namespace

bool DecodeStream(platform::File& input, platform::File& output) {
  // The state is too large for a worker thread's stack.
  std::unique_ptr<Decoder> decoder(new (std::nothrow) Decoder(input));
  if (!decoder)
    return false;
  return decoder->Run(output);
}

bool DecodeFile(const std::string& compressed_path, const std::string& destination_path) {
  if (compressed_path.empty() || destination_path.empty())
    return false;
  platform::File input = platform::File::OpenStream(compressed_path, platform::StreamMode::kRead);
  if (!input.IsOpen())
    return false;
  platform::File output =
      platform::File::OpenStream(destination_path, platform::StreamMode::kWriteTruncate);
  if (!output.IsOpen())
    return false;
  const bool decoded = DecodeStream(input, output);
  return output.Close() && decoded;
}

}  // namespace package

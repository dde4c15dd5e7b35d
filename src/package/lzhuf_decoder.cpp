#include "package/lzhuf_decoder.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <new>

#include "package/lzhuf_decoding_tree.h"
#include "package/set_window.h"
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

// Reads up to count bytes of the input at its position into bytes; returns how many it read.
using InputSource = std::function<std::uint32_t(std::uint8_t* bytes, std::uint32_t count)>;

// The compressed input: the stream's bytes up to its end, then zero bytes, so that a load near
// the end stays inside the buffer. Before safe_end() at least 8 bytes can be loaded. The zeros
// behind the end may be loaded but not used: a stream that needs bits past the padding of its last
// byte is damaged (cut off, or its size word too large).
class BoundedInput {
 public:
  BoundedInput(const InputSource& source, std::uint64_t size) : source_(source), left_(size) {}

  // Loads the first block; returns where it starts and how many bytes of the stream it holds.
  const std::uint8_t* Start(std::uint32_t& from_stream) {
    from_stream = Fill(0);
    return data_;
  }

  const std::uint8_t* safe_end() const { return data_ + safe_end_; }

  // Moves the bytes from next on to the front, reads more behind them and returns where next
  // went; none when next lies so far past the stream's end that the bits before it cannot all be
  // the stream's (a load takes at most 63 bits that are not used yet).
  const std::uint8_t* Refill(const std::uint8_t* next) {
    const std::ptrdiff_t used = next - data_;
    if (used > end_ + 7)
      return nullptr;
    const auto kept = static_cast<std::uint32_t>(kInputBlock - used);
    std::memmove(data_, next, kept);
    if (end_ < static_cast<std::ptrdiff_t>(kInputBlock)) {
      end_ -= used;  // may end up a few bytes before data_: those bits are still unused
      std::memset(data_ + kept, 0, static_cast<std::size_t>(used));
      safe_end_ = std::min<std::ptrdiff_t>(kInputBlock - 8, end_ + 7);
    } else {
      Fill(kept);
    }
    return data_;
  }

  // Whether the bits used so far, up to next less the bit_count not used yet, are all the
  // stream's own.
  bool Holds(const std::uint8_t* next, unsigned bit_count) const {
    return (next - data_) * 8 - static_cast<std::ptrdiff_t>(bit_count) <= end_ * 8;
  }

 private:
  std::uint32_t Fill(std::uint32_t kept) {
    const std::uint32_t wanted = kInputBlock - kept;
    const auto asked = static_cast<std::uint32_t>(std::min<std::uint64_t>(wanted, left_));
    const std::uint32_t got = asked == 0 ? 0 : source_(data_ + kept, asked);
    // A file that ends before the stated size ends the stream there.
    left_ = got < asked ? 0 : left_ - got;
    if (got < wanted) {
      std::memset(data_ + kept + got, 0, wanted - got);
      end_ = kept + got;
      safe_end_ = std::min<std::ptrdiff_t>(kInputBlock - 8, end_ + 7);
    }
    return got;
  }

  const InputSource& source_;
  std::uint64_t left_;  // bytes of the stream not read yet
  // Where the stream's bytes end in data_; kInputBlock while more may follow.
  std::ptrdiff_t end_ = kInputBlock;
  std::ptrdiff_t safe_end_ = kInputBlock - 8;
  std::uint8_t data_[kInputBlock];
};

// The output goes through one buffer that also serves as the dictionary: the 4096 bytes before
// the new output are the ring's contents, so a match is a plain copy from earlier in the buffer.
// When a block is full it is written out and its last 4096 bytes move to the front.
class Decoder {
 public:
  Decoder(const InputSource& input, std::uint64_t input_size) : input_(input, input_size) {}

  Status Run(const DecodeSink& output, const DecodeProgress& progress);

 private:
  static constexpr std::uint32_t kHistory = kRingSize;

  bool Flush(const DecodeSink& output, const std::uint8_t* end) {
    return output(window_ + kHistory, static_cast<std::uint32_t>(end - (window_ + kHistory)));
  }

  BoundedInput input_;
  DecodingTree tree_;
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

Status Decoder::Run(const DecodeSink& output, const DecodeProgress& progress) {
  std::uint32_t from_stream = 0;
  const std::uint8_t* in = input_.Start(from_stream);
  if (from_stream < 4)
    return status::kExtractFailed;
  std::uint32_t remaining = 0;
  for (int i = 3; i >= 0; --i)
    remaining = (remaining << 8) | in[i];
  in += 4;
  if (remaining == 0)
    return status::kExtractFailed;
  const std::uint32_t total = remaining;

  tree_.Reset();
  FillInitialHistory(window_);

  std::uint64_t bits = 0;  // valid bits at the top; below them bytes that are loaded again
  unsigned bit_count = 0;
  std::uint8_t* out = window_ + kHistory;
  const std::uint8_t* safe_end = input_.safe_end();

  while (remaining != 0) {
    std::uint8_t* const start = out;
    // Symbols start before stop; a match may end past it, but never past the stated size.
    std::uint8_t* const stop = start + std::min(remaining, kOutputBlock);
    std::uint8_t* const limit = start + std::min(remaining, kOutputBlock + kLongestMatch - 1);

    while (out < stop) {
      // Top up to at least 56 bits: a symbol code and a position take at most 36, as the tree's
      // depth stays below 23 (it is a Huffman tree of counts below 2^15).
      if (in > safe_end) {
        in = input_.Refill(in);
        if (in == nullptr)
          return status::kSignatureFailed;
        safe_end = input_.safe_end();
      }
      bits |= LoadBigEndian64(in) >> bit_count;
      in += (63 - bit_count) >> 3;
      bit_count |= 56;

      const unsigned symbol = tree_.Read(bits, bit_count);

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

    // Nothing is written that bits past the stream's end helped to make.
    if (!input_.Holds(in, bit_count))
      return status::kSignatureFailed;
    remaining -= static_cast<std::uint32_t>(out - start);
    if (!Flush(output, out))
      return status::kExtractFailed;
    if (progress)
      progress(total - remaining, total);
    std::memmove(window_, out - kHistory, kHistory);
    out = window_ + kHistory;
  }
  return status::kOk;
}

Status DecodeFrom(const InputSource& input, std::uint64_t input_size, const DecodeSink& output,
                  const DecodeProgress& progress) {
  // The state is too large for a worker thread's stack.
  std::unique_ptr<Decoder> decoder(new (std::nothrow) Decoder(input, input_size));
  if (!decoder)
    return status::kExtractFailed;
  return decoder->Run(output, progress);
}

}  // namespace

Status DecodeStream(platform::File& input, std::uint64_t input_size, const DecodeSink& output,
                    const DecodeProgress& progress) {
  return DecodeFrom(
      [&input](std::uint8_t* bytes, std::uint32_t count) { return input.Read(bytes, count); },
      input_size, output, progress);
}

Status DecodeStream(SetWindow& input, std::uint64_t input_size, const DecodeSink& output,
                    const DecodeProgress& progress) {
  return DecodeFrom(
      [&input](std::uint8_t* bytes, std::uint32_t count) { return input.Read(bytes, count); },
      input_size, output, progress);
}

Status DecodeStream(platform::File& input, std::uint64_t input_size, platform::File& output,
                    const DecodeProgress& progress) {
  return DecodeStream(
      input, input_size,
      [&output](const std::uint8_t* bytes, std::uint32_t count) {
        return output.Write(bytes, count) == count;
      },
      progress);
}

Status DecodeFile(const std::string& compressed_path, const std::string& destination_path,
                  const DecodeProgress& progress) {
  if (compressed_path.empty() || destination_path.empty())
    return status::kExtractFailed;
  platform::File input = platform::File::OpenStream(compressed_path, platform::StreamMode::kRead);
  if (!input.IsOpen())
    return status::kExtractFailed;
  const std::int64_t input_size = input.Size();
  if (input_size < 0 || input.Seek(0, platform::SeekOrigin::kBegin) != 0)
    return status::kExtractFailed;
  platform::File output =
      platform::File::OpenStream(destination_path, platform::StreamMode::kWriteTruncate);
  if (!output.IsOpen())
    return status::kExtractFailed;
  const Status decoded =
      DecodeStream(input, static_cast<std::uint64_t>(input_size), output, progress);
  if (!output.Close() && decoded == status::kOk)
    return status::kExtractFailed;
  return decoded;
}

}  // namespace package

#include "lzhuf_encoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "package/lzhuf_tree.h"
#include "platform/file.h"

namespace omnipack {
namespace {

using namespace package::lzhuf;

using ByteSource = std::function<std::uint32_t(std::uint8_t* buffer, std::uint32_t count)>;
using ByteSink = std::function<bool(const std::uint8_t* bytes, std::uint32_t count)>;

// Positions count from the first of the kRingSize bytes of the ring's initial contents
// (FillInitialHistory); the input follows them. Matches reach back into them exactly as the
// decoder's ring allows.
constexpr std::uint64_t kFirstInputPosition = kRingSize;

constexpr std::uint32_t kHashBits = 15;
constexpr std::uint32_t kMaxChain = 96;           // candidates looked at per position
constexpr std::uint32_t kParseBlock = 4096;       // positions parsed together
constexpr std::uint32_t kReadBlock = 512 * 1024;  // input read at a time
constexpr std::uint32_t kCompareSlack = 8;        // whole-word compares read past the data
constexpr std::uint64_t kProgressStep = 1 << 20;

inline std::uint64_t Load64(const std::uint8_t* p) {
  std::uint64_t value;
  std::memcpy(&value, p, sizeof value);
  return value;
}

// Number of equal leading bytes of a and b, at most limit.
inline std::uint32_t MatchLength(const std::uint8_t* a, const std::uint8_t* b,
                                 std::uint32_t limit) {
  for (std::uint32_t length = 0; length < limit; length += 8) {
    const std::uint64_t diff = Load64(a + length) ^ Load64(b + length);
    if (diff != 0) {
      const int equal_bits = std::endian::native == std::endian::little ? std::countr_zero(diff)
                                                                        : std::countl_zero(diff);
      return std::min(limit, length + static_cast<std::uint32_t>(equal_bits / 8));
    }
  }
  return limit;
}

// Bits are collected most significant first and handed to the sink in large blocks.
class BitWriter {
 public:
  explicit BitWriter(const ByteSink& sink) : sink_(sink) {}

  void PutBytes(const std::uint8_t* bytes, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i)
      Put(bytes[i], 8);
  }

  // Appends the low count bits of bits (count at most 32).
  void Put(std::uint32_t bits, unsigned count) {
    pending_ = (pending_ << count) | bits;
    pending_count_ += count;
    while (pending_count_ >= 8) {
      pending_count_ -= 8;
      buffer_[used_++] = static_cast<std::uint8_t>(pending_ >> pending_count_);
    }
    if (used_ > sizeof buffer_ - 8)
      Drain();
  }

  // Pads the last byte with zero bits and writes everything out.
  bool Finish() {
    if (pending_count_ != 0)
      Put(0, 8 - pending_count_);
    Drain();
    return ok_;
  }

  std::uint64_t bytes_written() const { return written_; }

 private:
  void Drain() {
    if (ok_ && used_ != 0)
      ok_ = sink_(buffer_, used_);
    written_ += used_;
    used_ = 0;
  }

  const ByteSink& sink_;
  std::uint64_t pending_ = 0;
  unsigned pending_count_ = 0;
  bool ok_ = true;
  std::uint32_t used_ = 0;
  std::uint64_t written_ = 0;
  std::uint8_t buffer_[64 * 1024];
};

// One step of a parse: a literal (length 1) or a match.
struct Step {
  std::uint8_t length;
  std::uint16_t distance;
};

// LZSS with a block-wise cheapest parse: for every position of a block the matches found (the
// closest one for each length, since closer positions code shorter) and the literal are priced
// with the code lengths of the current tree, and the cheapest way through the block is coded.
class Compressor {
 public:
  Compressor(const ByteSource& source, std::uint64_t size, const ByteSink& sink,
             const EncodeProgress& progress)
      : source_(source),
        size_(size),
        end_(kFirstInputPosition + size),
        out_(sink),
        progress_(progress) {}

  EncodeStatus Run();
  std::uint64_t bytes_written() const { return out_.bytes_written(); }

 private:
  static constexpr std::uint32_t kWindowSize =
      kRingSize + kReadBlock + kParseBlock + kLongestMatch + kCompareSlack;
  static constexpr std::uint32_t kNoPrice = std::numeric_limits<std::uint32_t>::max();

  const std::uint8_t* At(std::uint64_t position) const {
    return window_ + (position - window_start_);
  }
  bool MakeAvailable(std::uint64_t keep_from, std::uint64_t until);
  std::uint32_t Hash(std::uint64_t position) const {
    std::uint32_t key;
    std::memcpy(&key, At(position), sizeof key);
    if constexpr (std::endian::native == std::endian::big)
      key >>= 8;
    return ((key & 0xFFFFFF) * 0x9E3779B1u) >> (32 - kHashBits);
  }
  void Insert(std::uint64_t position);
  void InsertUntil(std::uint64_t position);
  void ParseBlock(std::uint64_t start, std::uint32_t count);
  // Codes the steps of the cheapest path through the parsed block that end by commit; returns
  // the number of bytes coded.
  std::uint32_t EmitPath(std::uint64_t start, std::uint32_t count, std::uint32_t commit);
  void EmitSymbol(unsigned symbol) {
    const AdaptiveTree::Code code = tree_.CodeOf(symbol);
    out_.Put(code.bits, code.length);
    tree_.Update(symbol);
  }

  const ByteSource& source_;
  const std::uint64_t size_;
  const std::uint64_t end_;
  BitWriter out_;
  const EncodeProgress& progress_;

  AdaptiveTree tree_;
  std::array<std::uint8_t, kSymbolCount> symbol_bits_;

  std::uint64_t window_start_ = 0;  // position of window_[0]
  std::uint64_t window_end_ = 0;    // position after the last byte read
  std::uint64_t inserted_ = 0;      // positions before this are in the hash chains

  // Chains of earlier positions with the same hash of their next three bytes, newest first.
  // Positions are kept modulo 2^32; a chain is followed only within the ring's reach.
  std::uint32_t heads_[1u << kHashBits];
  std::uint32_t previous_[kRingSize];

  std::uint32_t price_[kParseBlock + 1];
  Step arrival_[kParseBlock + 1];  // the last step of the cheapest way to each position
  Step path_[kParseBlock];

  std::uint8_t window_[kWindowSize];
};

bool Compressor::MakeAvailable(std::uint64_t keep_from, std::uint64_t until) {
  until = std::min(until, end_);
  if (until <= window_end_)
    return true;
  const auto kept = static_cast<std::uint32_t>(window_end_ - keep_from);
  std::memmove(window_, At(keep_from), kept);
  window_start_ = keep_from;
  const auto wanted = static_cast<std::uint32_t>(
      std::min<std::uint64_t>(kWindowSize - kCompareSlack - kept, end_ - window_end_));
  const std::uint32_t got = source_(window_ + kept, wanted);
  window_end_ += got;
  return got == wanted && window_end_ >= until;
}

void Compressor::Insert(std::uint64_t position) {
  const std::uint32_t hash = Hash(position);
  previous_[position % kRingSize] = heads_[hash];
  heads_[hash] = static_cast<std::uint32_t>(position);
}

void Compressor::InsertUntil(std::uint64_t position) {
  // A position is only hashed once its three bytes exist.
  const std::uint64_t last = std::min(position, end_ - (kShortestMatch - 1));
  for (; inserted_ < last; ++inserted_)
    Insert(inserted_);
  inserted_ = std::max(inserted_, position);
}

void Compressor::ParseBlock(std::uint64_t start, std::uint32_t count) {
  std::fill(price_ + 1, price_ + count + 1, kNoPrice);
  price_[0] = 0;
  std::uint32_t skip_until = 0;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint64_t position = start + i;
    const std::uint8_t* here = At(position);
    if (i < skip_until) {
      InsertUntil(position + 1);
      continue;
    }
    const std::uint32_t base = price_[i];
    const std::uint32_t literal = base + symbol_bits_[*here];
    if (literal < price_[i + 1]) {
      price_[i + 1] = literal;
      arrival_[i + 1] = {1, 0};
    }

    const auto limit =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(kLongestMatch, end_ - position));
    InsertUntil(position);
    if (limit < kShortestMatch)
      continue;
    // Walk the chain from the closest candidate; each longer match found is the closest of its
    // length.
    std::uint32_t longest = kThreshold;
    std::uint32_t candidate = heads_[Hash(position)];
    const auto now = static_cast<std::uint32_t>(position);
    // When the tail of a block is parsed again, the positions after it are hashed already.
    while (static_cast<std::int32_t>(now - candidate) <= 0)
      candidate = previous_[candidate % kRingSize];
    for (std::uint32_t steps = 0; steps < kMaxChain; ++steps) {
      const std::uint32_t distance = now - candidate;
      if (distance - 1 >= kRingSize)
        break;
      const std::uint8_t* there = here - distance;
      if (there[longest] == here[longest]) {
        const std::uint32_t length = MatchLength(there, here, limit);
        if (length > longest) {
          const std::uint32_t reach = std::min(length, count - i);
          const std::uint32_t position_bits =
              kPositionCode.upper_length[(distance - 1) >> kPositionLowBits] + kPositionLowBits;
          for (std::uint32_t l = longest + 1; l <= reach; ++l) {
            const std::uint32_t price = base + symbol_bits_[LengthSymbol(l)] + position_bits;
            if (price < price_[i + l]) {
              price_[i + l] = price;
              arrival_[i + l] = {static_cast<std::uint8_t>(l),
                                 static_cast<std::uint16_t>(distance)};
            }
          }
          longest = length;
          if (length == limit)
            break;
        }
      }
      const std::uint32_t next = previous_[candidate % kRingSize];
      if (now - next <= distance)
        break;  // the slot was reused by a newer position
      candidate = next;
    }
    InsertUntil(position + 1);
    // A longest possible match is as good as it gets; the positions it covers need no parse.
    if (longest == kLongestMatch && i + longest <= count)
      skip_until = i + longest;
  }
}

std::uint32_t Compressor::EmitPath(std::uint64_t start, std::uint32_t count, std::uint32_t commit) {
  std::uint32_t steps = 0;
  for (std::uint32_t i = count; i != 0; i -= arrival_[i].length)
    path_[steps++] = arrival_[i];
  std::uint64_t position = start;
  while (steps != 0 && position - start + path_[steps - 1].length <= commit) {
    const Step step = path_[--steps];
    if (step.length == 1) {
      EmitSymbol(*At(position));
    } else {
      EmitSymbol(LengthSymbol(step.length));
      const std::uint32_t code = step.distance - 1u;
      const std::uint32_t upper = code >> kPositionLowBits;
      const unsigned upper_length = kPositionCode.upper_length[upper];
      out_.Put(kPositionCode.code[upper] >> (8 - upper_length), upper_length);
      out_.Put(code & ((1u << kPositionLowBits) - 1), kPositionLowBits);
    }
    position += step.length;
  }
  return static_cast<std::uint32_t>(position - start);
}

EncodeStatus Compressor::Run() {
  std::uint8_t size_word[4];
  for (int i = 0; i < 4; ++i)
    size_word[i] = static_cast<std::uint8_t>(size_ >> (8 * i));
  out_.PutBytes(size_word, sizeof size_word);

  tree_.Reset();
  // Empty chains start at position 0; that is harmless, as every candidate's bytes are compared.
  std::fill(std::begin(heads_), std::end(heads_), 0u);
  FillInitialHistory(window_);
  std::memset(window_ + kRingSize, 0, kWindowSize - kRingSize);
  window_start_ = 0;
  window_end_ = kFirstInputPosition;

  std::uint64_t next_report = kProgressStep;
  for (std::uint64_t start = kFirstInputPosition; start < end_;) {
    const auto count =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(kParseBlock, end_ - start));
    if (!MakeAvailable(start - kRingSize, start + count + kLongestMatch))
      return EncodeStatus::kReadFailed;
    tree_.CodeLengths(symbol_bits_);  // the prices of this block
    ParseBlock(start, count);
    // The end of a block cuts the path short, so its last stretch is parsed again with the next
    // block unless the input ends there.
    const bool last = start + count == end_;
    start += EmitPath(start, count, last ? count : count - kLongestMatch);
    const std::uint64_t done = start - kFirstInputPosition;
    if (progress_ && (done >= next_report || start == end_)) {
      progress_(done);
      next_report = done + kProgressStep;
    }
  }
  return out_.Finish() ? EncodeStatus::kOk : EncodeStatus::kWriteFailed;
}

EncodeStatus Encode(const ByteSource& source, std::uint64_t size, const ByteSink& sink,
                    std::uint64_t& compressed_size, const EncodeProgress& progress) {
  compressed_size = 0;
  if (size == 0)
    return EncodeStatus::kEmptyInput;
  if (size > std::numeric_limits<std::uint32_t>::max())
    return EncodeStatus::kInputTooLarge;
  std::unique_ptr<Compressor> compressor(new (std::nothrow)
                                             Compressor(source, size, sink, progress));
  if (!compressor)
    return EncodeStatus::kNoMemory;
  const EncodeStatus status = compressor->Run();
  compressed_size = compressor->bytes_written();
  return status;
}

}  // namespace

std::string_view EncodeStatusText(EncodeStatus status) {
  switch (status) {
    case EncodeStatus::kOk:
      return "ok";
    case EncodeStatus::kEmptyInput:
      return "input is empty";
    case EncodeStatus::kInputTooLarge:
      return "input is 4 GiB or larger";
    case EncodeStatus::kOpenFailed:
      return "cannot be opened";
    case EncodeStatus::kCreateFailed:
      return "cannot be created";
    case EncodeStatus::kReadFailed:
      return "read failed";
    case EncodeStatus::kWriteFailed:
      return "write failed";
    case EncodeStatus::kNoMemory:
      return "out of memory";
  }
  return "unknown error";
}

EncodeStatus EncodeBytes(std::span<const std::uint8_t> data, std::vector<std::uint8_t>& stream) {
  stream.clear();
  std::size_t taken = 0;
  const ByteSource source = [&](std::uint8_t* buffer, std::uint32_t count) {
    const auto n = static_cast<std::uint32_t>(std::min<std::size_t>(count, data.size() - taken));
    std::memcpy(buffer, data.data() + taken, n);
    taken += n;
    return n;
  };
  const ByteSink sink = [&](const std::uint8_t* bytes, std::uint32_t count) {
    stream.insert(stream.end(), bytes, bytes + count);
    return true;
  };
  std::uint64_t compressed_size = 0;
  return Encode(source, data.size(), sink, compressed_size, {});
}

EncodeStatus EncodeStream(platform::File& input, std::uint64_t size, platform::File& output,
                          std::uint64_t& compressed_size, const EncodeProgress& progress) {
  const ByteSource source = [&](std::uint8_t* buffer, std::uint32_t count) {
    return input.Read(buffer, count);
  };
  const ByteSink sink = [&](const std::uint8_t* bytes, std::uint32_t count) {
    return output.Write(bytes, count) == count;
  };
  return Encode(source, size, sink, compressed_size, progress);
}

EncodeStatus EncodeFile(const std::string& source_path, const std::string& destination_path,
                        std::uint64_t& compressed_size, const EncodeProgress& progress) {
  compressed_size = 0;
  platform::File input = platform::File::OpenStream(source_path, platform::StreamMode::kRead);
  if (!input.IsOpen())
    return EncodeStatus::kOpenFailed;
  const std::int64_t size = input.Size();
  if (size < 0 || input.Seek(0, platform::SeekOrigin::kBegin) != 0)
    return EncodeStatus::kReadFailed;
  if (size == 0)
    return EncodeStatus::kEmptyInput;
  platform::File output =
      platform::File::OpenStream(destination_path, platform::StreamMode::kWriteTruncate);
  if (!output.IsOpen())
    return EncodeStatus::kCreateFailed;
  const EncodeStatus status =
      EncodeStream(input, static_cast<std::uint64_t>(size), output, compressed_size, progress);
  if (!output.Close() && status == EncodeStatus::kOk)
    return EncodeStatus::kWriteFailed;
  return status;
}

}  // namespace omnipack

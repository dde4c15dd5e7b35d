// omnipack encode / decode: raw LZHUF streams (4-byte size word, then the bit stream).

#include <cstdint>
#include <string>

#include "commands.h"
#include "diagnostics.h"
#include "lzhuf_encoder.h"
#include "package/format.h"
#include "package/lzhuf_decoder.h"
#include "platform/file.h"
#include "progress.h"
#include "set_walker.h"

namespace omnipack {
namespace {

constexpr std::string_view kEncodeHelp =
    "usage: omnipack encode IN OUT\n"
    "\n"
    "Compresses IN into the raw LZHUF stream OUT: a 4-byte little-endian size, then the bit\n"
    "stream, as the entries of a package carry it.\n";

constexpr std::string_view kDecodeHelp =
    "usage: omnipack decode IN OUT\n"
    "\n"
    "Decodes the raw LZHUF stream IN (4-byte little-endian size, then the bit stream) into OUT\n"
    "with the installer's own decoder.\n";

int RunEncode(const ParsedArgs& args) {
  const std::string& in = args.positionals()[0];
  const std::string& out = args.positionals()[1];
  ProgressLine progress;
  std::uint64_t compressed_size = 0;
  const EncodeStatus status = EncodeFile(in, out, compressed_size, [&](std::uint64_t done) {
    progress.Show("encoding " + in + ": " + std::to_string(done >> 10) + " KiB");
  });
  progress.Clear();
  if (status == EncodeStatus::kOk)
    return kExitSuccess;
  const bool about_output =
      status == EncodeStatus::kCreateFailed || status == EncodeStatus::kWriteFailed;
  PrintError({about_output ? out : in, std::string(EncodeStatusText(status))});
  return kExitFailure;
}

int RunDecode(const ParsedArgs& args) {
  const std::string& in = args.positionals()[0];
  const std::string& out = args.positionals()[1];
  platform::File input = platform::File::OpenStream(in, platform::StreamMode::kRead);
  if (!input.IsOpen()) {
    PrintError({in, "cannot be opened"});
    return kExitFailure;
  }
  // The decoder refuses a stream without a size; say so rather than blame the output.
  std::uint8_t size_word[4];
  if (input.Read(size_word, sizeof size_word) != sizeof size_word ||
      package::ReadLe32(size_word) == 0) {
    PrintError({in, "no stream: the size word is missing or zero"});
    return kExitFailure;
  }
  platform::File output = platform::File::OpenStream(out, platform::StreamMode::kWriteTruncate);
  if (!output.IsOpen()) {
    PrintError({out, "cannot be created"});
    return kExitFailure;
  }
  const std::int64_t size = input.Size();
  if (size < 0 || input.Seek(0, platform::SeekOrigin::kBegin) != 0) {
    PrintError({in, "cannot be read"});
    return kExitFailure;
  }
  const Status decoded = package::DecodeStream(input, static_cast<std::uint64_t>(size), output);
  if (decoded == status::kSignatureFailed) {
    PrintError({in, std::string(DecodeProblem(decoded))});
    return kExitFailure;
  }
  if (decoded != status::kOk || !output.Close()) {
    PrintError({out, "cannot be written"});
    return kExitFailure;
  }
  return kExitSuccess;
}

}  // namespace

const Command& EncodeCommand() {
  static const Command command{
      "encode", "compress a file into a raw LZHUF stream", kEncodeHelp, {}, 2, 2, RunEncode};
  return command;
}

const Command& DecodeCommand() {
  static const Command command{"decode", "decode a raw LZHUF stream", kDecodeHelp, {}, 2, 2,
                               RunDecode};
  return command;
}

}  // namespace omnipack

// The LZHUF decoder on one stream: the input is the stream itself (4-byte size, then the bits).
// Besides what the sanitizers see, the decoder must keep its word on the output: exactly the
// stated size on success, and never more than that on failure.

#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "package/format.h"
#include "package/lzhuf_decoder.h"
#include "platform/file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzz_support::InputFile input;
  static fuzz_support::InputFile output;
  input.Write(data, size);

  platform::File stream =
      platform::File::OpenExisting(input.path(), platform::OpenMode::kReadShareRead);
  platform::File out = platform::File::Create(output.path());
  if (!stream.IsOpen() || !out.IsOpen())
    fuzz_support::InputFile::Fail("cannot open the stream or the output");
  const Status result = package::DecodeStream(stream, size, out);

  const std::int64_t written = out.Size();
  const std::int64_t stated = size >= 4 ? package::ReadLe32(data) : 0;
  if (result == status::kOk && written != stated)
    fuzz_support::InputFile::Fail("decoded size differs from the stated size");
  if (written > stated)
    fuzz_support::InputFile::Fail("more output than the stream states");
  return 0;
}

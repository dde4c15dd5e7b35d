// On-demand fetching of many files from one opened main set: N files fetched one after another,
// each extracted and checked against its directory record, from a set of 2,000 small entries.
// The time per fetch should not grow with N (a walk from the start of the set for every name made
// it grow linearly). The set is opened anew for every N files, so the one walk that indexes its
// entries is part of the figure.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "lzhuf_encoder.h"
#include "package/container.h"
#include "package/crc32.h"
#include "package/fetch.h"
#include "package/format.h"
#include "platform/file.h"

namespace {

constexpr int kEntries = 2000;
constexpr std::size_t kFileSize = 1024;

class SilentReporter : public Reporter {
 public:
  void ReportProgress(MessageId, std::string_view) override {}
  void LogMessage(MessageId, std::string_view) override {}
  void LogText(std::string_view) override {}
};

std::string EntryName(int index) {
  char name[32];
  std::snprintf(name, sizeof name, "files\\file%04d.dat", index);
  return name;
}

// Text-like bytes that differ from file to file, so each entry decodes to its own content.
std::vector<std::uint8_t> FileBytes(int index) {
  std::vector<std::uint8_t> bytes(kFileSize);
  std::uint32_t state = 2463534242u + static_cast<std::uint32_t>(index);
  for (auto& b : bytes) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    b = static_cast<std::uint8_t>('a' + state % 16);
  }
  return bytes;
}

// The set file with its 2,000 entries and the directory that lists them, made once.
struct BenchSet {
  std::filesystem::path root;
  std::string set_path;
  package::PackageDescriptor descriptor;
  bool ok = false;

  BenchSet() {
    // In memory where the system has it: a disk's own costs vary from run to run and would hide
    // the lookup's.
    const std::filesystem::path shm = "/dev/shm";
    const std::filesystem::path base =
        std::filesystem::is_directory(shm) ? shm : std::filesystem::temp_directory_path();
    root = base / ("fetch_bench." + std::to_string(::getpid()));
    std::filesystem::create_directories(root);
    set_path = (root / "set.tmp").string();
    platform::File set = platform::File::Create(set_path);
    std::vector<std::uint8_t> stream;
    for (int i = 0; i < kEntries; ++i) {
      const std::vector<std::uint8_t> bytes = FileBytes(i);
      if (!set.IsOpen() || omnipack::EncodeBytes(bytes, stream) != omnipack::EncodeStatus::kOk)
        return;
      package::EntryHeader header;
      package::SetTextField(header.tag, package::kEntryTag);
      package::SetTextField(header.name, EntryName(i));
      header.original_size = static_cast<std::uint32_t>(bytes.size());
      header.compressed_size = static_cast<std::uint32_t>(stream.size());
      const package::EntryHeaderBytes header_bytes = package::SerializeEntryHeader(header);
      set.Write(header_bytes.data(), package::kEntryHeaderSize);
      set.Write(stream.data(), header.compressed_size);

      package::DirectoryRecord record;
      package::SetTextField(record.name, EntryName(i));
      record.crc = package::kFileCrcStart;
      package::Crc32Update(bytes.data(), bytes.size(), &record.crc);
      descriptor.directory.Append(record);
    }
    ok = set.Close();
  }
  ~BenchSet() { std::filesystem::remove_all(root); }
};

const BenchSet& Set() {
  static const BenchSet set;
  return set;
}

// Fetches the first N files in set order, as a script that installs its files in the order they
// were packed does.
void BM_FetchFiles(benchmark::State& state) {
  const BenchSet& bench_set = Set();
  if (!bench_set.ok) {
    state.SkipWithError("the benchmark set could not be written");
    return;
  }
  const int count = static_cast<int>(state.range(0));
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i)
    names.push_back(EntryName(i));
  const std::filesystem::path folder = bench_set.root / "pkg";
  SilentReporter reporter;
  std::string out;

  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directory(folder);
    state.ResumeTiming();

    package::PackageFile set = package::OpenPackageFile(bench_set.set_path);
    package::FetchedFiles fetched;
    package::PackageRun run{set, folder.string(), bench_set.descriptor, reporter, fetched};
    for (const std::string& name : names) {
      if (package::FetchPackageFile(run, name, out, 260, /*verify=*/true) != status::kOk) {
        state.SkipWithError("a fetch failed");
        return;
      }
    }
  }
  state.counters["per_fetch"] =
      benchmark::Counter(static_cast<double>(count), benchmark::Counter::kIsIterationInvariantRate |
                                                         benchmark::Counter::kInvert);
}
BENCHMARK(BM_FetchFiles)->Arg(10)->Arg(100)->Arg(500)->Arg(2000)->Unit(benchmark::kMillisecond);

}  // namespace

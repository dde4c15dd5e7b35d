#include "log/percent_progress.h"

#include <cstdint>
#include <string>

namespace logging {
namespace {

constexpr std::uint64_t kLargeFileBytes = 1024 * 1024;

}  // namespace

platform::PassProgress PercentProgress(Reporter& reporter, MessageId id, std::string_view name) {
  return [&reporter, id, name = std::string(name), shown = std::uint64_t{0}](
             std::uint64_t done, std::uint64_t total) mutable {
    if (total < kLargeFileBytes)
      return;
    const std::uint64_t percent = done * 100 / total;
    if (percent == shown)
      return;
    shown = percent;
    reporter.ReportProgress(id, name + " (" + std::to_string(percent) + "%)");
  };
}

}  // namespace logging

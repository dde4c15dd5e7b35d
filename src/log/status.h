#pragma once

#include <cstdint>

// Run status codes: 0 is success; every other value has its row in the status catalogue.
using Status = std::int32_t;

namespace status {
inline constexpr Status kOk = 0;
inline constexpr Status kNoMemory = 1;
inline constexpr Status kOpenFailed = 9;
inline constexpr Status kReadFailed = 11;
inline constexpr Status kWriteFailed = 12;
inline constexpr Status kExtractFailed = 29;
inline constexpr Status kTempFileFailed = 30;
inline constexpr Status kPackageOpenFailed = 31;
inline constexpr Status kBadPackage = 32;
inline constexpr Status kInstallerOpenFailed = 34;
inline constexpr Status kSignatureFailed = 42;
inline constexpr Status kNtOnly = 60;
}  // namespace status

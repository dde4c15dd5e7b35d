#pragma once

#include <cstdint>

// Run status codes: 0 is success; every other value has its row in the status catalogue.
using Status = std::int32_t;

namespace status {
inline constexpr Status kOk = 0;
inline constexpr Status kNoMemory = 1;
inline constexpr Status kUnknownCommand = 2;
inline constexpr Status kLineTooLong = 3;
inline constexpr Status kSectionNotFound = 4;
inline constexpr Status kMainNotFound = 7;
inline constexpr Status kEmptyFile = 8;
inline constexpr Status kOpenFailed = 9;
inline constexpr Status kReadFailed = 11;
inline constexpr Status kWriteFailed = 12;
// The splitting operations of argument texts report a missing or over-long part with these.
inline constexpr Status kNowhereToPutValue = 23;
inline constexpr Status kNowhereToGetValue = 24;
inline constexpr Status kNoValueToSet = 25;
inline constexpr Status kNoSecondPart = 26;
inline constexpr Status kNoFirstPart = 27;
inline constexpr Status kSymbolNotFound = 28;
inline constexpr Status kExtractFailed = 29;
inline constexpr Status kTempFileFailed = 30;
inline constexpr Status kPackageOpenFailed = 31;
inline constexpr Status kBadPackage = 32;
inline constexpr Status kInstallerOpenFailed = 34;
inline constexpr Status kSignatureFailed = 42;
inline constexpr Status kNtOnly = 60;
}  // namespace status

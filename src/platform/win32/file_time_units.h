#pragma once

#include <windows.h>

#include <cstdint>

// The system's FILETIME (100-nanosecond steps from 1601-01-01) against the platform layer's
// seconds since 1970-01-01 UTC.
namespace platform {

inline constexpr std::int64_t kTicksPerSecond = 10000000;
inline constexpr std::int64_t kEpochDifference = 11644473600;  // seconds from 1601 to 1970

inline std::int64_t UnixTime(const FILETIME& time) {
  const std::int64_t ticks =
      (static_cast<std::int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  return ticks / kTicksPerSecond - kEpochDifference;
}

inline FILETIME FileTime(std::int64_t time) {
  const auto ticks = static_cast<std::uint64_t>((time + kEpochDifference) * kTicksPerSecond);
  return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

}  // namespace platform

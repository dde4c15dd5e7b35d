#include "platform/session.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <vector>

namespace platform {
namespace {

std::optional<std::tm> Now() {
  const std::time_t now = std::time(nullptr);
  std::tm fields{};
  if (::localtime_r(&now, &fields) == nullptr)
    return std::nullopt;
  return fields;
}

}  // namespace

std::optional<std::string> UserName() {
  std::vector<char> scratch(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::geteuid(), &entry, scratch.data(), scratch.size(), &found) != 0 ||
      found == nullptr) {
    return std::nullopt;
  }
  return std::string(found->pw_name);
}

// Host names may be longer than the system's computer names; the log keeps their first 16.
std::optional<std::string> ComputerName() {
  char buffer[256] = {};
  if (::gethostname(buffer, sizeof buffer - 1) != 0)
    return std::nullopt;
  return std::string(buffer).substr(0, 16);
}

// The host has no locale formats of its own here; the English short forms stand in.
std::optional<std::string> CurrentDateText() {
  const auto now = Now();
  if (!now)
    return std::nullopt;
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%d/%d/%d", now->tm_mon + 1, now->tm_mday,
                now->tm_year + 1900);
  return std::string(buffer);
}

std::optional<std::string> CurrentTimeText() {
  const auto now = Now();
  if (!now)
    return std::nullopt;
  const int hour = now->tm_hour % 12 == 0 ? 12 : now->tm_hour % 12;
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%d:%02d %s", hour, now->tm_min,
                now->tm_hour < 12 ? "AM" : "PM");
  return std::string(buffer);
}

}  // namespace platform

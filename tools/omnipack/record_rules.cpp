#include "record_rules.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <utility>

#include "text_format.h"

namespace omnipack {
namespace {

bool IsLeapYear(unsigned year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

unsigned DaysInMonth(unsigned year, unsigned month) {
  constexpr unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// The fields as they stand, also where they make no date.
std::string RawTimeText(const package::TimeStamp& time) {
  char text[32];
  std::snprintf(text, sizeof text, "%u-%02u-%02u %02u:%02u:%02u", 1900u + time.year,
                unsigned{time.month}, unsigned{time.day}, unsigned{time.hour},
                unsigned{time.minute}, unsigned{time.second});
  return text;
}

}  // namespace

std::optional<std::string> TimeStampProblem(const package::TimeStamp& time) {
  if (!time.IsSet())
    return std::nullopt;
  const unsigned year = 1900u + time.year;
  if (time.hour < 24 && time.minute < 60 && time.second < 60 && time.month >= 1 &&
      time.month <= 12 && time.day >= 1 && time.day <= DaysInMonth(year, time.month)) {
    return std::nullopt;
  }
  return "time stamp " + RawTimeText(time) + " is no valid local time";
}

std::vector<std::string> RecordProblems(const package::DirectoryRecord& record,
                                        const SetEntry* entry,
                                        const std::optional<DecodedEntry>& decoded) {
  std::vector<std::string> problems;
  const auto name_end = std::find(record.name.begin(), record.name.end(), '\0');
  if (name_end == record.name.end()) {
    problems.push_back("its name fills all " + std::to_string(record.name.size()) +
                       " bytes of its field, without the closing zero");
  } else if (std::any_of(name_end, record.name.end(), [](char c) { return c != '\0'; })) {
    problems.push_back("bytes after its name's closing zero are not zero");
  }
  if (std::any_of(record.reserved.begin(), record.reserved.end(),
                  [](std::uint8_t b) { return b != 0; })) {
    problems.push_back("its reserved bytes (offsets 148-159) are not zero");
  }
  if (std::optional<std::string> time = TimeStampProblem(record.time))
    problems.push_back(std::move(*time));
  if (entry == nullptr) {
    problems.push_back("no main-set entry of that name");
    return problems;
  }
  if (decoded && decoded->crc != record.crc) {
    problems.push_back("CRC " + HexText(record.crc) + " does not match the entry's " +
                       HexText(decoded->crc));
  }
  const std::uint64_t size = decoded ? decoded->size : entry->header.original_size;
  if (record.original_size != size) {
    problems.push_back("states a size of " + std::to_string(record.original_size) +
                       " bytes, its entry gives " + std::to_string(size));
  }
  if (record.compressed_size != entry->header.compressed_size) {
    problems.push_back("states " + std::to_string(record.compressed_size) +
                       " compressed bytes, its entry holds " +
                       std::to_string(entry->header.compressed_size));
  }
  if (record.entry_offset != entry->offset) {
    problems.push_back("places its entry at byte " + std::to_string(record.entry_offset) +
                       " of the main set, the entry starts at byte " +
                       std::to_string(entry->offset));
  }
  if (record.time != entry->header.time) {
    problems.push_back("time stamp " + RawTimeText(record.time) + " differs from its entry's " +
                       RawTimeText(entry->header.time));
  }
  return problems;
}

}  // namespace omnipack

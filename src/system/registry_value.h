#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"

// Script texts as registry data and back.
namespace system_commands {

// The number of a DWORD's text: "0x" (either case) and hexadecimal digits, or decimal digits;
// empty and "0x" alone are 0. status::kBadHexNumber, kBadDecimalNumber for another character,
// kNumberOutOfRange past 4294967295.
Status ParseDwordText(std::string_view text, std::uint32_t& number);

struct ValueData {
  DWORD type = REG_SZ;
  std::vector<BYTE> bytes;
};
// The data SETREGVALUE writes for text with its type item: "DWORD" the number (statuses of
// ParseDwordText), "BINARY" the text's bytes without a zero, anything else REG_SZ with its zero.
Status BuildValueData(std::string_view type_item, std::string_view text, ValueData& data);

// The text GETREGVALUE stores for data read into a 260-byte buffer: a number's decimal digits,
// text up to its first zero (at most 259 characters); none for another type.
std::optional<std::string> ValueAsText(DWORD type, const BYTE* data, DWORD size);

}  // namespace system_commands

#include "system/registry_value.h"

#include <algorithm>
#include <cstring>

#include "base/ascii_case.h"
#include "script/values.h"

namespace system_commands {
namespace {

// The digit's value in radix, or none.
std::optional<unsigned> DigitValue(char c, unsigned radix) {
  unsigned value = radix;
  if (c >= '0' && c <= '9')
    value = static_cast<unsigned>(c - '0');
  else if (radix == 16 && base::FoldAsciiCase(c) >= 'A' && base::FoldAsciiCase(c) <= 'F')
    value = static_cast<unsigned>(base::FoldAsciiCase(c) - 'A' + 10);
  if (value >= radix)
    return std::nullopt;
  return value;
}

}  // namespace

Status ParseDwordText(std::string_view text, std::uint32_t& number) {
  const bool hex = text.size() >= 2 && text[0] == '0' && base::FoldAsciiCase(text[1]) == 'X';
  const unsigned radix = hex ? 16 : 10;
  const std::string_view digits = hex ? text.substr(2) : text;
  std::uint64_t value = 0;
  bool out_of_range = false;
  for (const char c : digits) {
    const std::optional<unsigned> digit = DigitValue(c, radix);
    if (!digit)
      return hex ? status::kBadHexNumber : status::kBadDecimalNumber;
    value = value * radix + *digit;
    if (value > 0xFFFFFFFFu) {
      out_of_range = true;
      value = 0xFFFFFFFFu;  // keeps the product in range while the rest is checked
    }
  }
  if (out_of_range)
    return status::kNumberOutOfRange;
  number = static_cast<std::uint32_t>(value);
  return status::kOk;
}

Status BuildValueData(std::string_view type_item, std::string_view text, ValueData& data) {
  if (base::EqualsIgnoringCase(type_item, "DWORD")) {
    std::uint32_t number = 0;
    if (Status parsed = ParseDwordText(text, number))
      return parsed;
    data.type = REG_DWORD;
    data.bytes = {static_cast<BYTE>(number), static_cast<BYTE>(number >> 8),
                  static_cast<BYTE>(number >> 16), static_cast<BYTE>(number >> 24)};
    return status::kOk;
  }
  data.type = base::EqualsIgnoringCase(type_item, "BINARY") ? REG_BINARY : REG_SZ;
  data.bytes.assign(text.begin(), text.end());
  if (data.type == REG_SZ)
    data.bytes.push_back(0);
  return status::kOk;
}

std::optional<std::string> ValueAsText(DWORD type, const BYTE* data, DWORD size) {
  switch (type) {
    case REG_DWORD: {
      std::uint32_t number = 0;
      std::memcpy(&number, data, std::min<DWORD>(size, sizeof number));
      return std::to_string(number);
    }
    case REG_SZ:
    case REG_EXPAND_SZ:
    case REG_BINARY:
    case REG_MULTI_SZ: {
      // A multi-string gives its first string, binary data its bytes up to the first zero.
      const char* text = reinterpret_cast<const char*>(data);
      return std::string(text, strnlen(text, std::min<DWORD>(size, script::kValueCapacity - 1)));
    }
    default:
      return std::nullopt;
  }
}

}  // namespace system_commands

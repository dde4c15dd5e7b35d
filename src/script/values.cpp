#include "script/values.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <utility>

#include "base/characters.h"

namespace script {
namespace {

// True when text holds no byte that could start a double-byte character.
bool IsAsciiText(std::string_view text) {
  // Eight bytes at a time, then the rest.
  std::uint64_t bits = 0;
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    bits |= word;
  }
  for (; i < text.size(); ++i)
    bits |= static_cast<unsigned char>(text[i]);
  return (bits & 0x8080808080808080u) == 0;
}

// Where text begins and ends without its blanks. A text that begins with CR keeps it; only spaces
// and TABs go from the front.
std::pair<std::size_t, std::size_t> UntrimmedRange(std::string_view text) {
  std::size_t first = 0;
  while (first < text.size() && (text[first] == ' ' || text[first] == '\t'))
    ++first;
  std::size_t end = text.size();
  while (end > first && (text[end - 1] == ' ' || text[end - 1] == '\t' || text[end - 1] == '\n' ||
                         text[end - 1] == '\r')) {
    --end;
  }
  return {first, end};
}

// True when a part of length characters fits a buffer of capacity bytes with its zero.
bool Fits(std::size_t length, std::size_t capacity) {
  return length < capacity;
}

// Takes the part of rest before the next separator and moves rest past it; false when there is
// no separator or the part does not fit.
bool TakePart(std::string_view& rest, char separator, std::size_t capacity,
              std::string_view& part) {
  const std::size_t at = rest.find(separator);
  if (at == std::string_view::npos || !Fits(at, capacity))
    return false;
  part = rest.substr(0, at);
  rest.remove_prefix(at + 1);
  return true;
}

// Parts are stored only once the whole argument has split, so a failure leaves every output as
// it was.
template <std::size_t N>
void StoreParts(const std::array<std::string_view, N>& parts,
                const std::array<std::string_view*, N>& outputs) {
  for (std::size_t i = 0; i < N; ++i)
    *outputs[i] = TrimmedView(parts[i]);
}

// The string form of a split: the parts its view form found, copied.
template <std::size_t N>
Status Stored(Status split, const std::array<std::string_view, N>& parts,
              const std::array<std::string*, N>& outputs) {
  if (split == status::kOk) {
    for (std::size_t i = 0; i < N; ++i)
      outputs[i]->assign(parts[i]);
  }
  return split;
}

// SplitListAssignment and SplitAssignmentList into views, and their string form.
using FourPartSplit = Status (*)(std::string_view, std::string_view&, std::size_t,
                                 std::string_view&, std::size_t, std::string_view&, std::size_t,
                                 std::string_view&, std::size_t);
Status StoredFourParts(FourPartSplit split, std::string_view argument,
                       const std::array<std::string*, 4>& outputs,
                       const std::array<std::size_t, 4>& capacities) {
  std::array<std::string_view, 4> parts;
  return Stored<4>(split(argument, parts[0], capacities[0], parts[1], capacities[1], parts[2],
                         capacities[2], parts[3], capacities[3]),
                   parts, outputs);
}

}  // namespace

std::string_view TrimmedView(std::string_view text) {
  const auto [first, end] = UntrimmedRange(text);
  return text.substr(first, end - first);
}

void TrimBlanks(std::string& text) {
  const auto [first, end] = UntrimmedRange(text);
  text.erase(end);
  text.erase(0, first);
}

std::string Trimmed(std::string_view text) {
  return std::string(TrimmedView(text));
}

Status SplitAssignment(std::string_view argument, std::string& left, std::size_t left_capacity,
                       std::string& right, std::size_t right_capacity) {
  std::array<std::string_view, 2> parts;
  return Stored<2>(SplitAssignment(argument, parts[0], left_capacity, parts[1], right_capacity),
                   parts, {&left, &right});
}

Status SplitAssignment(std::string_view argument, std::string_view& left, std::size_t left_capacity,
                       std::string_view& right, std::size_t right_capacity) {
  std::string_view rest = argument;
  std::string_view name;
  if (!TakePart(rest, '=', left_capacity, name))
    return status::kNowhereToPutValue;
  if (!Fits(rest.size(), right_capacity))
    return status::kNoValueToSet;
  StoreParts<2>({name, rest}, {&left, &right});
  return status::kOk;
}

Status SplitListAssignment(std::string_view argument, std::string& a, std::size_t a_capacity,
                           std::string& b, std::size_t b_capacity, std::string& c,
                           std::size_t c_capacity, std::string& d, std::size_t d_capacity) {
  return StoredFourParts(SplitListAssignment, argument, {&a, &b, &c, &d},
                         {a_capacity, b_capacity, c_capacity, d_capacity});
}

Status SplitListAssignment(std::string_view argument, std::string_view& a, std::size_t a_capacity,
                           std::string_view& b, std::size_t b_capacity, std::string_view& c,
                           std::size_t c_capacity, std::string_view& d, std::size_t d_capacity) {
  std::string_view rest = argument;
  std::string_view part_a, part_b, part_c;
  if (!TakePart(rest, ',', a_capacity, part_a))
    return status::kNoFirstPart;
  if (!TakePart(rest, ',', b_capacity, part_b))
    return status::kNoSecondPart;
  if (!TakePart(rest, '=', c_capacity, part_c))
    return status::kNoValueToSet;
  if (!Fits(rest.size(), d_capacity))
    return status::kNowhereToGetValue;
  StoreParts<4>({part_a, part_b, part_c, rest}, {&a, &b, &c, &d});
  return status::kOk;
}

Status SplitAssignmentList(std::string_view argument, std::string& v, std::size_t v_capacity,
                           std::string& a, std::size_t a_capacity, std::string& b,
                           std::size_t b_capacity, std::string& c, std::size_t c_capacity) {
  return StoredFourParts(SplitAssignmentList, argument, {&v, &a, &b, &c},
                         {v_capacity, a_capacity, b_capacity, c_capacity});
}

Status SplitAssignmentList(std::string_view argument, std::string_view& v, std::size_t v_capacity,
                           std::string_view& a, std::size_t a_capacity, std::string_view& b,
                           std::size_t b_capacity, std::string_view& c, std::size_t c_capacity) {
  std::string_view rest = argument;
  std::string_view part_v, part_a, part_b;
  if (!TakePart(rest, '=', v_capacity, part_v))
    return status::kNowhereToPutValue;
  if (!TakePart(rest, ',', a_capacity, part_a))
    return status::kNoFirstPart;
  if (!TakePart(rest, ',', b_capacity, part_b))
    return status::kNoSecondPart;
  if (!Fits(rest.size(), c_capacity))
    return status::kNoValueToSet;
  StoreParts<4>({part_v, part_a, part_b, rest}, {&v, &a, &b, &c});
  return status::kOk;
}

std::optional<std::size_t> NextItem(std::string_view text, std::size_t cursor, std::string& item,
                                    std::size_t capacity, char separator) {
  std::string_view part;
  const std::optional<std::size_t> next = NextItem(text, cursor, part, capacity, separator);
  if (next)
    item.assign(part);
  return next;
}

std::optional<std::size_t> NextItem(std::string_view text, std::size_t cursor,
                                    std::string_view& item, std::size_t capacity, char separator) {
  if (cursor >= text.size())
    return std::nullopt;
  const std::size_t room = capacity == 0 ? 0 : capacity - 1;
  // Plain text, as nearly every item is, has only characters of one byte: the item ends at the
  // separator or at its room.
  const std::string_view window = text.substr(cursor, room);
  const std::size_t end = std::min(window.find(separator), window.size());
  std::size_t i = IsAsciiText(window.substr(0, end)) ? cursor + end : cursor;
  while (i < text.size() && text[i] != separator) {
    // A double-byte character is taken whole, so its trail byte is never seen as a separator;
    // one that no longer fits ends the item and starts the next.
    const std::size_t width = base::CharacterWidth(text, i);
    if (i - cursor + width > room)
      break;
    i += width;
  }
  item = TrimmedView(text.substr(cursor, i - cursor));
  if (i < text.size() && text[i] == separator)
    return i + 1;
  return i;
}

}  // namespace script

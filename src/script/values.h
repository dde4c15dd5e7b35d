#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "base/status.h"

// The argument-access operations every command handler uses. Capacities count the terminating
// zero of the installer's fixed buffers (260 for values, 520 for the string-building commands).
namespace script {

inline constexpr std::size_t kValueCapacity = 260;
inline constexpr std::size_t kLongValueCapacity = 520;

// The part of text that fits a buffer of capacity bytes: its first capacity - 1 characters.
inline std::string_view CutToCapacity(std::string_view text, std::size_t capacity) {
  return text.substr(0, capacity == 0 ? 0 : capacity - 1);
}

// Removes leading spaces and TABs, then trailing spaces, TABs, LFs and CRs.
void TrimBlanks(std::string& text);
// A trimmed copy of text, and the trimmed part of text itself.
std::string Trimmed(std::string_view text);
std::string_view TrimmedView(std::string_view text);

// Each split below comes twice: into strings for a handler that goes on to change its parts, and
// into views of the argument (which must outlive them) for a reader that only looks at them. Both
// give the same parts and statuses, and a failure leaves every output as it was.

// "left = right": status::kNowhereToPutValue without "=" (or a left part too long),
// kNoValueToSet a right part too long.
Status SplitAssignment(std::string_view argument, std::string& left, std::size_t left_capacity,
                       std::string& right, std::size_t right_capacity);
Status SplitAssignment(std::string_view argument, std::string_view& left, std::size_t left_capacity,
                       std::string_view& right, std::size_t right_capacity);

// "a,b,c=d": status::kNoFirstPart no first ",", kNoSecondPart no second ",", kNoValueToSet no
// "=", kNowhereToGetValue d too long.
Status SplitListAssignment(std::string_view argument, std::string& a, std::size_t a_capacity,
                           std::string& b, std::size_t b_capacity, std::string& c,
                           std::size_t c_capacity, std::string& d, std::size_t d_capacity);
Status SplitListAssignment(std::string_view argument, std::string_view& a, std::size_t a_capacity,
                           std::string_view& b, std::size_t b_capacity, std::string_view& c,
                           std::size_t c_capacity, std::string_view& d, std::size_t d_capacity);

// "v=a,b,c": status::kNowhereToPutValue no "=", kNoFirstPart no first ",", kNoSecondPart no
// second ",", kNoValueToSet c too long.
Status SplitAssignmentList(std::string_view argument, std::string& v, std::size_t v_capacity,
                           std::string& a, std::size_t a_capacity, std::string& b,
                           std::size_t b_capacity, std::string& c, std::size_t c_capacity);
Status SplitAssignmentList(std::string_view argument, std::string_view& v, std::size_t v_capacity,
                           std::string_view& a, std::size_t a_capacity, std::string_view& b,
                           std::size_t b_capacity, std::string_view& c, std::size_t c_capacity);

// The item of text that starts at cursor, up to separator (double-byte aware), at most
// capacity - 1 characters, trimmed. Returns the cursor of the next item, or none (item
// untouched) when the text at cursor is empty.
std::optional<std::size_t> NextItem(std::string_view text, std::size_t cursor, std::string& item,
                                    std::size_t capacity, char separator);
std::optional<std::size_t> NextItem(std::string_view text, std::size_t cursor,
                                    std::string_view& item, std::size_t capacity, char separator);

}  // namespace script

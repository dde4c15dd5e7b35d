#include "script/values.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#ifndef _WIN32
#include "base/posix/code_page.h"
#endif

namespace {

using script::kValueCapacity;

TEST(TrimBlanks, RemovesSpacesAndTabsInFrontAndAllBlanksAtTheEnd) {
  const struct {
    std::string text;
    std::string trimmed;
  } cases[] = {
      {"", ""},
      {" \t \r\n", ""},
      {"  a b\t", "a b"},
      {"\tvalue \t\r\n", "value"},
      {"\r value", "\r value"},  // only spaces and TABs go from the front
      {"\n x", "\n x"},
      {"x\r\n\r\n", "x"},
      {"a ; note", "a ; note"},
  };
  for (const auto& c : cases) {
    std::string text = c.text;
    script::TrimBlanks(text);
    EXPECT_EQ(text, c.trimmed) << "[" << c.text << "]";
  }
}

TEST(SplitAssignment, SplitsAtTheFirstEqualsSignAndTrimsBothParts) {
  const struct {
    std::string argument;
    std::size_t left_capacity;
    std::size_t right_capacity;
    Status status;
    std::string left;
    std::string right;
  } cases[] = {
      {"x = a=b", kValueCapacity, kValueCapacity, 0, "x", "a=b"},
      {"x=", kValueCapacity, kValueCapacity, 0, "x", ""},
      {"=v", kValueCapacity, kValueCapacity, 0, "", "v"},
      {"bExists = example.dll", kValueCapacity, kValueCapacity, 0, "bExists", "example.dll"},
      {" my var \t= \t1 ", kValueCapacity, kValueCapacity, 0, "my var", "1"},
      {"Quote=\"", kValueCapacity, kValueCapacity, 0, "Quote", "\""},
      {"x", kValueCapacity, kValueCapacity, 23, "<", ">"},
      {"", kValueCapacity, kValueCapacity, 23, "<", ">"},
      // The parts are measured as written, blanks included.
      {"abc=1", 4, kValueCapacity, 0, "abc", "1"},
      {"abcd=1", 4, kValueCapacity, 23, "<", ">"},
      {"x=abc", kValueCapacity, 4, 0, "x", "abc"},
      {"x=abc ", kValueCapacity, 4, 25, "<", ">"},
      {"x=" + std::string(259, 'v'), kValueCapacity, kValueCapacity, 0, "x", std::string(259, 'v')},
      {"x=" + std::string(260, 'v'), kValueCapacity, kValueCapacity, 25, "<", ">"},
  };
  for (const auto& c : cases) {
    std::string left = "<";
    std::string right = ">";
    EXPECT_EQ(script::SplitAssignment(c.argument, left, c.left_capacity, right, c.right_capacity),
              c.status)
        << c.argument;
    EXPECT_EQ(left, c.left) << c.argument;
    EXPECT_EQ(right, c.right) << c.argument;
  }
}

struct FourParts {
  std::string first = "1";
  std::string second = "2";
  std::string third = "3";
  std::string fourth = "4";
  bool operator==(const FourParts&) const = default;
};

std::ostream& operator<<(std::ostream& out, const FourParts& parts) {
  return out << "[" << parts.first << "|" << parts.second << "|" << parts.third << "|"
             << parts.fourth << "]";
}

TEST(SplitListAssignment, TakesTheForm_a_b_c_Equals_d) {
  const std::string long_part(259, 'p');
  const struct {
    std::string argument;
    std::size_t capacity;  // of every part
    Status status;
    FourParts parts;
  } cases[] = {
      {"HKLM, Software\\X , Path = C:\\x=y",
       kValueCapacity,
       0,
       {"HKLM", "Software\\X", "Path", "C:\\x=y"}},
      {",,=", kValueCapacity, 0, {"", "", "", ""}},
      {"a,b,c,d=e", kValueCapacity, 0, {"a", "b", "c,d", "e"}},
      {"abc", kValueCapacity, 27, {}},
      {"a,b", kValueCapacity, 26, {}},
      {"a,b,c", kValueCapacity, 25, {}},
      {"a=b,c,d", kValueCapacity, 25, {}},  // "=" before the commas belongs to a
      {"a,b,c=" + long_part, kValueCapacity, 0, {"a", "b", "c", long_part}},
      {"a,b,c=" + long_part + "q", kValueCapacity, 24, {}},
      // A part that does not fit is reported like its missing separator.
      {"aaaa,b,c=d", 4, 27, {}},
      {"a,bbbb,c=d", 4, 26, {}},
      {"a,b,cccc=d", 4, 25, {}},
      {"a,b,c=dddd", 4, 24, {}},
      {"aaa,bbb,ccc=ddd", 4, 0, {"aaa", "bbb", "ccc", "ddd"}},
  };
  for (const auto& c : cases) {
    FourParts parts;
    EXPECT_EQ(
        script::SplitListAssignment(c.argument, parts.first, c.capacity, parts.second, c.capacity,
                                    parts.third, c.capacity, parts.fourth, c.capacity),
        c.status)
        << c.argument;
    EXPECT_EQ(parts, c.parts) << c.argument;
  }
}

TEST(SplitAssignmentList, TakesTheForm_v_Equals_a_b_c) {
  const std::string long_part(259, 'p');
  const struct {
    std::string argument;
    std::size_t capacity;
    Status status;
    FourParts parts;
  } cases[] = {
      {" szValue = HKLM , Software\\X , Path,more ",
       kValueCapacity,
       0,
       {"szValue", "HKLM", "Software\\X", "Path,more"}},
      {"=,,", kValueCapacity, 0, {"", "", "", ""}},
      {"v,a,b,c", kValueCapacity, 23, {}},
      {"v=a", kValueCapacity, 27, {}},
      {"v=a,b", kValueCapacity, 26, {}},
      {"v=a,b," + long_part, kValueCapacity, 0, {"v", "a", "b", long_part}},
      {"v=a,b," + long_part + "q", kValueCapacity, 25, {}},
      {"vvvv=a,b,c", 4, 23, {}},
      {"v=aaaa,b,c", 4, 27, {}},
      {"v=a,bbbb,c", 4, 26, {}},
      {"v=a,b,cccc", 4, 25, {}},
  };
  for (const auto& c : cases) {
    FourParts parts;
    EXPECT_EQ(
        script::SplitAssignmentList(c.argument, parts.first, c.capacity, parts.second, c.capacity,
                                    parts.third, c.capacity, parts.fourth, c.capacity),
        c.status)
        << c.argument;
    EXPECT_EQ(parts, c.parts) << c.argument;
  }
}

// Every item NextItem yields until it reports no more, as a handler's loop would see them
// (without stopping at an empty one).
std::vector<std::string> AllItems(std::string_view text, char separator,
                                  std::size_t capacity = kValueCapacity) {
  std::vector<std::string> items;
  std::size_t cursor = 0;
  std::string item;
  while (const std::optional<std::size_t> next =
             script::NextItem(text, cursor, item, capacity, separator)) {
    EXPECT_GT(*next, cursor) << "no progress in " << text;
    if (*next <= cursor)
      break;
    items.push_back(item);
    cursor = *next;
  }
  return items;
}

TEST(NextItem, YieldsTheTrimmedItemsBetweenSeparators) {
  using Items = std::vector<std::string>;
  const struct {
    std::string text;
    char separator;
    std::size_t capacity;
    Items items;
  } cases[] = {
      {"a,b", ',', kValueCapacity, {"a", "b"}},
      {"a,,b", ',', kValueCapacity, {"a", "", "b"}},
      {"a,", ',', kValueCapacity, {"a"}},
      {",", ',', kValueCapacity, {""}},
      {"", ',', kValueCapacity, {}},
      {" one , two\t,three ", ',', kValueCapacity, {"one", "two", "three"}},
      {"a==b|c==d", '|', kValueCapacity, {"a==b", "c==d"}},
      {"bResult = x.dll, y.dll", '=', kValueCapacity, {"bResult", "x.dll, y.dll"}},
      // An over-long item is cut and its rest becomes the next item.
      {"abcdef,g", ',', 4, {"abc", "def", "g"}},
      {"abc,d", ',', 4, {"abc", "d"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AllItems(c.text, c.separator, c.capacity), c.items) << c.text;
  }
}

TEST(NextItem, LeavesTheItemUntouchedWhenThereAreNoMoreItems) {
  std::string item = "kept";
  EXPECT_EQ(script::NextItem("a", 1, item, kValueCapacity, ','), std::nullopt);
  EXPECT_EQ(script::NextItem("", 0, item, kValueCapacity, ','), std::nullopt);
  EXPECT_EQ(item, "kept");
}

TEST(NextItem, ReturnsThePositionAfterTheSeparatorOrWhereCopyingStopped) {
  std::string item;
  EXPECT_EQ(script::NextItem("ab,cd", 0, item, kValueCapacity, ','), 3u);
  EXPECT_EQ(script::NextItem("ab,cd", 3, item, kValueCapacity, ','), 5u);
  EXPECT_EQ(item, "cd");
  EXPECT_EQ(script::NextItem("abcdef", 0, item, 3, ','), 2u);
  EXPECT_EQ(item, "ab");
}

#ifndef _WIN32
class NextItemDoubleByte : public testing::Test {
 protected:
  void TearDown() override { base::SetAnsiCodePage(1252); }
};

// "\x83\x7C" is one Shift-JIS character whose trail byte has the code of "|".
TEST_F(NextItemDoubleByte, TrailByteEqualToTheSeparatorDoesNotSplit) {
  const std::string text = "a==\x83\x7C|b==1";
  const struct {
    unsigned code_page;
    std::vector<std::string> items;
  } cases[] = {
      {932, {"a==\x83\x7C", "b==1"}},
      {1252, {"a==\x83", "", "b==1"}},
  };
  for (const auto& c : cases) {
    base::SetAnsiCodePage(c.code_page);
    EXPECT_EQ(AllItems(text, '|'), c.items) << c.code_page;
  }
}

TEST_F(NextItemDoubleByte, CharactersAreCopiedWholeOrNotAtAll) {
  base::SetAnsiCodePage(932);
  // Room for three bytes: the second double-byte character starts the next item.
  EXPECT_EQ(AllItems("x\x83\x7C\x83\x7C", '|', 4),
            (std::vector<std::string>{"x\x83\x7C", "\x83\x7C"}));
  // A lead byte as the last byte of the text is a character of its own.
  EXPECT_EQ(AllItems("a|\x83", '|'), (std::vector<std::string>{"a", "\x83"}));
}
#endif

}  // namespace

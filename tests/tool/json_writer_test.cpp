// The JSON text of list and verify: separators, escapes, and names that are not UTF-8.

#include "json_writer.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(JsonWriter, SeparatesMembersAndItemsAtEveryLevel) {
  omnipack::JsonWriter json;
  json.BeginObject().Key("a").Number(1).Key("b").BeginArray();
  json.String("x").BeginObject().Key("c").Bool(false).EndObject().Null();
  json.EndArray().Key("d").BeginObject().EndObject().EndObject();
  EXPECT_EQ(json.text(), R"({"a":1,"b":["x",{"c":false},null],"d":{}})");
}

TEST(JsonWriter, EscapesTextAndKeepsItValidUtf8) {
  const struct {
    std::string text;
    std::string json;
  } cases[] = {
      {"sub\\tool.dll", R"("sub\\tool.dll")"},
      {"say \"hi\"", R"("say \"hi\"")"},
      {"tab\there\n", R"("tab\u0009here\u000a")"},
      {"gr\xC3\xBC\xC3\x9F"
       "e \xE2\x82\xAC",
       "\"gr\xC3\xBC\xC3\x9F"
       "e \xE2\x82\xAC\""},
      // Code-page bytes that are not UTF-8 become the code points of the same numbers.
      {"M\xFCller.dll", R"("M\u00fcller.dll")"},
      {"\xC3", R"("\u00c3")"},                      // a sequence cut short
      {"\xC0\xAF", R"("\u00c0\u00af")"},            // an overlong form
      {"\xED\xA0\x80", R"("\u00ed\u00a0\u0080")"},  // a surrogate
  };
  for (const auto& item : cases) {
    omnipack::JsonWriter json;
    json.String(item.text);
    EXPECT_EQ(json.text(), item.json);
  }
}

}  // namespace

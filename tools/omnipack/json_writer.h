#pragma once

// A small JSON text builder for the --json output of list and verify.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace omnipack {

class JsonWriter {
 public:
  JsonWriter& BeginObject();
  JsonWriter& EndObject();
  JsonWriter& BeginArray();
  JsonWriter& EndArray();
  JsonWriter& Key(std::string_view key);
  // Names in a package are code-page bytes: valid UTF-8 passes through, any other byte is written
  // as the code point of the same number, so the output is always valid JSON.
  JsonWriter& String(std::string_view text);
  JsonWriter& Number(std::uint64_t value);
  JsonWriter& Bool(bool value);
  JsonWriter& Null();

  const std::string& text() const { return text_; }

 private:
  void BeforeValue();
  void AppendEscaped(std::string_view text);

  std::string text_;
  std::vector<bool> has_items_;  // one per open object or array
  bool after_key_ = false;
};

}  // namespace omnipack

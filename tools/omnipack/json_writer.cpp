#include "json_writer.h"

#include <cstdio>

namespace omnipack {
namespace {

// Length of the valid UTF-8 sequence at the start of text, or 0 when it is not one.
std::size_t Utf8SequenceLength(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  std::size_t length = 0;
  unsigned min_code = 0;
  unsigned code = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, min_code = 0x80, code = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, min_code = 0x800, code = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, min_code = 0x10000, code = lead & 0x07u;
  } else {
    return 0;
  }
  if (text.size() < length)
    return 0;
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[i]);
    if ((next & 0xC0u) != 0x80u)
      return 0;
    code = code << 6 | (next & 0x3Fu);
  }
  const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
  return (code >= min_code && code <= 0x10FFFF && !surrogate) ? length : 0;
}

}  // namespace

void JsonWriter::BeforeValue() {
  if (after_key_) {
    after_key_ = false;
    return;
  }
  if (!has_items_.empty()) {
    if (has_items_.back())
      text_ += ',';
    has_items_.back() = true;
  }
}

JsonWriter& JsonWriter::BeginObject() {
  BeforeValue();
  text_ += '{';
  has_items_.push_back(false);
  return *this;
}

JsonWriter& JsonWriter::EndObject() {
  has_items_.pop_back();
  text_ += '}';
  return *this;
}

JsonWriter& JsonWriter::BeginArray() {
  BeforeValue();
  text_ += '[';
  has_items_.push_back(false);
  return *this;
}

JsonWriter& JsonWriter::EndArray() {
  has_items_.pop_back();
  text_ += ']';
  return *this;
}

JsonWriter& JsonWriter::Key(std::string_view key) {
  BeforeValue();
  AppendEscaped(key);
  text_ += ':';
  after_key_ = true;
  return *this;
}

JsonWriter& JsonWriter::String(std::string_view text) {
  BeforeValue();
  AppendEscaped(text);
  return *this;
}

JsonWriter& JsonWriter::Number(std::uint64_t value) {
  BeforeValue();
  text_ += std::to_string(value);
  return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
  BeforeValue();
  text_ += value ? "true" : "false";
  return *this;
}

JsonWriter& JsonWriter::Null() {
  BeforeValue();
  text_ += "null";
  return *this;
}

void JsonWriter::AppendEscaped(std::string_view text) {
  text_ += '"';
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte == '"' || byte == '\\') {
      text_ += '\\';
      text_ += static_cast<char>(byte);
      ++i;
    } else if (byte >= 0x20 && byte < 0x80) {
      text_ += static_cast<char>(byte);
      ++i;
    } else if (const std::size_t length = byte >= 0x80 ? Utf8SequenceLength(text.substr(i)) : 0;
               length != 0) {
      text_.append(text.substr(i, length));
      i += length;
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", byte);
      text_ += escape;
      ++i;
    }
  }
  text_ += '"';
}

}  // namespace omnipack

#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

// The installer's own reader of INI files, which FINDINIFILEVALUE asks. Unlike the system's
// profile API it trims nothing and compares names exactly, byte by byte: "Path = x" holds the key
// "Path " with the value " x".
namespace script {

class IniProfile {
 public:
  // Reads INI text. Lines end with CR LF, LF or CR. Blanks (spaces and TABs) where a line begins
  // are skipped; ";" there starts a comment; "[name]" starts a section (the character after "]"
  // is passed over); any other line is a key, its name before the first "=" and its value after
  // it (no "=": the whole line is the name and the value is empty). Keys before the first header
  // belong to the section with the empty name. A later key of the same name replaces the value,
  // and a section named twice holds the keys of both. Two things end the reading, keeping what
  // came before: a "[" without its "]", and a key line without a line end (it is not entered).
  static IniProfile Parse(std::string_view text);

  // The value of key in section, whole; none when either is missing.
  std::optional<std::string_view> Value(std::string_view section, std::string_view key) const;

 private:
  // No length limit on names or values: a name longer than an argument of the script can be is
  // simply never asked for, and a value is cut by whoever copies it into a buffer.
  using Keys = std::map<std::string, std::string, std::less<>>;
  std::map<std::string, Keys, std::less<>> sections_;
};

// The profile of the file at path; none when the file cannot be opened and read whole. An empty
// file is an empty profile.
std::optional<IniProfile> OpenIniProfile(const std::string& path);

}  // namespace script

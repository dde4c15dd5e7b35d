#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "base/record_list.h"
#include "script/script_section.h"

namespace script {

// The script's sections in file order, with an index of names: sections are looked up by name for
// every CALL, CONTINUEIF and INSTALLFILES, and a script may hold and call many thousands of them.
class SectionList {
 public:
  // Appends a section and returns it as stored; it keeps its address while the list lives.
  ScriptSection& Append(ScriptSection section);

  // The first section in file order whose name equals name exactly (case-sensitive); null when
  // none.
  ScriptSection* Find(std::string_view name);

  std::size_t Count() const { return sections_.Count(); }
  // The section at a zero-based index in file order; null when index >= Count().
  ScriptSection* At(std::size_t index) { return sections_.At(index); }
  void Clear();

  auto begin() { return sections_.begin(); }
  auto end() { return sections_.end(); }
  auto begin() const { return sections_.begin(); }
  auto end() const { return sections_.end(); }

 private:
  // Looks names up as they stand in the calling command, without a copy for every call.
  struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const {
      return std::hash<std::string_view>{}(name);
    }
  };

  base::RecordList<ScriptSection> sections_;
  std::unordered_map<std::string, ScriptSection*, NameHash, std::equal_to<>> first_by_name_;
};

}  // namespace script

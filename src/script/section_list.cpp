#include "script/section_list.h"

#include <iterator>
#include <utility>

namespace script {

ScriptSection& SectionList::Append(ScriptSection section) {
  sections_.Append(std::move(section));
  ScriptSection& stored = *std::prev(sections_.end());
  // A later section of the same name is never found: the first one keeps the name.
  first_by_name_.try_emplace(stored.name, &stored);
  return stored;
}

ScriptSection* SectionList::Find(std::string_view name) {
  const auto found = first_by_name_.find(name);
  return found == first_by_name_.end() ? nullptr : found->second;
}

void SectionList::Clear() {
  sections_.Clear();
  first_by_name_.clear();
}

}  // namespace script

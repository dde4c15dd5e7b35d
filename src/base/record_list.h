#pragma once

#include <cstddef>
#include <iterator>
#include <list>
#include <optional>
#include <utility>

namespace base {

// The ordered list of heap records behind the package directory, the script's sections, commands
// and variables and the INI reader's lines. Records keep their insertion order.
template <typename Record>
class RecordList {
 public:
  void Append(Record record) { records_.push_back(std::move(record)); }

  std::optional<Record> TakeFirst() {
    if (records_.empty())
      return std::nullopt;
    Record first = std::move(records_.front());
    records_.pop_front();
    return first;
  }

  std::size_t Count() const { return records_.size(); }
  bool Empty() const { return records_.empty(); }

  // The record at a zero-based index, walking from the first; null when index >= Count().
  Record* At(std::size_t index) {
    if (index >= records_.size())
      return nullptr;
    return &*std::next(records_.begin(), static_cast<std::ptrdiff_t>(index));
  }
  const Record* At(std::size_t index) const { return const_cast<RecordList*>(this)->At(index); }

  bool RemoveAt(std::size_t index) {
    if (index >= records_.size())
      return false;
    records_.erase(std::next(records_.begin(), static_cast<std::ptrdiff_t>(index)));
    return true;
  }

  void Clear() { records_.clear(); }

  auto begin() { return records_.begin(); }
  auto end() { return records_.end(); }
  auto begin() const { return records_.begin(); }
  auto end() const { return records_.end(); }

 private:
  std::list<Record> records_;
};

}  // namespace base

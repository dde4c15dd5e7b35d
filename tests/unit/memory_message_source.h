#pragma once

#include <map>
#include <string>

#include "log/message_source.h"

namespace test_support {

// A language library held in memory: texts by id, none for an id it lacks.
class MemoryMessageSource : public MessageSource {
 public:
  MemoryMessageSource() = default;
  explicit MemoryMessageSource(std::map<MessageId, std::string> by_id) : texts(std::move(by_id)) {}

  std::string Message(MessageId id, std::size_t capacity) const override {
    const auto found = texts.find(id);
    if (found == texts.end() || capacity == 0)
      return {};
    return found->second.substr(0, capacity - 1);
  }

  std::map<MessageId, std::string> texts;
};

}  // namespace test_support

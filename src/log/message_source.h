#pragma once

#include <string>

#include "log/reporter.h"

// The texts of the loaded language library, by message id.
class MessageSource {
 public:
  virtual ~MessageSource() = default;
  // The text of id, cut to capacity - 1 characters; empty when the library has none.
  virtual std::string Message(MessageId id, std::size_t capacity) const = 0;
};

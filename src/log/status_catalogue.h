#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "base/status.h"
#include "log/messages.h"

namespace logging {

struct StatusRow {
  Status status;
  MessageId message;
};

// The catalogue of run status codes with their messages, in search order.
std::span<const StatusRow> StatusCatalogue();

// The message of status; none for a code without a row (its text is "Unknown error").
std::optional<MessageId> StatusMessageId(Status status);

// The run status of a run that returned 0 with this final-status word.
Status MapFinalStatus(std::uint16_t final_status_word);

}  // namespace logging

#pragma once

#include <string_view>

#include "log/reporter.h"
#include "platform/pass_progress.h"

namespace logging {

// The progress of a long pass over one file of 1 MiB or more: the progress text of message id
// with "NAME (37%)" as its argument, anew with each percent, so that the wizard shows the run
// going on. Smaller files keep the one text their step reported.
platform::PassProgress PercentProgress(Reporter& reporter, MessageId id, std::string_view name);

}  // namespace logging

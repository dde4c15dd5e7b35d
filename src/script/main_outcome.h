#pragma once

#include <cstdint>

#include "base/status.h"

namespace script {

// How the statuses of Main's commands and the final-status word make the status of a run. The
// word names what is still missing, so a command's success counts only while the word is 0;
// status::kNoRights (no rights to schedule a replacement) counts as success then and as the run's
// status otherwise; any other failure is remembered and is the run's status when nothing
// succeeded.
class MainOutcome {
 public:
  // After each command of Main, with the word as it is at that moment.
  void Record(Status status, std::uint16_t final_status_word) {
    if (status == status::kOk || status == status::kNoRights) {
      if (final_status_word == 0)
        state_ = State::kSuccess;
      else if (status == status::kNoRights)
        state_ = State::kNoRights;
    } else {
      last_error_ = status;
    }
  }

  // The run's status; a success clears the word.
  Status Finish(std::uint16_t& final_status_word) const {
    switch (state_) {
      case State::kSuccess:
        final_status_word = 0;
        return status::kOk;
      case State::kNoRights:
        return status::kNoRights;
      case State::kPending:
        break;
    }
    return last_error_;
  }

 private:
  enum class State { kPending, kSuccess, kNoRights };
  State state_ = State::kPending;
  Status last_error_ = status::kOk;
};

}  // namespace script

#pragma once

// The system's list of moves for the next restart (the NT family's delayed moves), as tests of
// code that queues them read it back.

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace test_support {

// How the system writes a path into its list of delayed moves.
std::string SystemForm(const std::string& path);

// The delayed moves that name a path below one folder, as (from, to) pairs in the system's order,
// in SystemForm; to is empty for a deletion. The folder's entries are taken out of the list again
// when the object goes, so that the prefix, shared with other tests and runs, keeps none of them.
class PendingRenames {
 public:
  using Pairs = std::vector<std::pair<std::string, std::string>>;

  explicit PendingRenames(const std::string& folder);
  ~PendingRenames();
  PendingRenames(const PendingRenames&) = delete;
  PendingRenames& operator=(const PendingRenames&) = delete;

  Pairs Ours() const;

 private:
  bool IsOurs(const std::string& path) const;

  std::string folder_;  // lower case
};

// The system refuses every delayed operation while its list is not a multi-string value; the
// value is put back as it was, type and all, when the object goes.
class RefusedDelayedOperations {
 public:
  RefusedDelayedOperations();
  ~RefusedDelayedOperations();
  RefusedDelayedOperations(const RefusedDelayedOperations&) = delete;
  RefusedDelayedOperations& operator=(const RefusedDelayedOperations&) = delete;

 private:
  DWORD type_ = REG_NONE;
  std::optional<std::string> saved_;
};

}  // namespace test_support

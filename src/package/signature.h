#pragma once

#include <cstdint>
#include <optional>

#include "base/status.h"
#include "package/set_window.h"

namespace package {

struct SignatureLocation {
  std::uint32_t covered_length = 0;  // bytes of the set before the checked record
  std::uint32_t crc = 0;             // the CRC the record stores
};

// Walks the signature records from the end of a set back to the first of version 0x0100.
std::optional<SignatureLocation> FindSetSignature(SetWindow& set);

// Checks the CRC of the covered bytes of set against its signature record, reading the set the
// way its entries are read later, through its window: status::kOk when it matches;
// status::kSignatureFailed when it does not or no record is found; status::kNoMemory;
// status::kOpenFailed when the set is not open.
Status VerifySetSignature(SetWindow& set);

}  // namespace package

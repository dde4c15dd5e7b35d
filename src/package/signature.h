#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/status.h"
#include "platform/file.h"

namespace package {

struct SignatureLocation {
  std::uint32_t covered_length = 0;  // bytes of the set before the checked record
  std::uint32_t crc = 0;             // the CRC the record stores
};

// Walks the signature records from the end of a set file back to the first of version 0x0100.
std::optional<SignatureLocation> FindSetSignature(platform::File& set);

// Checks the CRC of the covered bytes against the signature record: status::kOk when it
// matches; status::kSignatureFailed when it does not or no record is found; status::kNoMemory;
// status::kOpenFailed when the file cannot be opened.
Status VerifySetSignature(const std::string& set_path);

}  // namespace package

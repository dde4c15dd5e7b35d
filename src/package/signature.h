#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/file.h"

namespace package {

struct SignatureLocation {
  std::uint32_t covered_length = 0;  // bytes of the set before the checked record
  std::uint32_t crc = 0;             // the CRC the record stores
};

// Walks the signature records from the end of a set file back to the first of version 0x0100.
std::optional<SignatureLocation> FindSetSignature(platform::File& set);

// 0 when the CRC of the covered bytes matches; 1 when it does not or no record is found; 3 no
// memory; 4 the file cannot be opened.
int VerifySetSignature(const std::string& set_path);

}  // namespace package

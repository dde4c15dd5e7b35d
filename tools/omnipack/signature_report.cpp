#include "signature_report.h"

#include <cstdint>

namespace omnipack {
namespace {

bool Overlaps(std::uint64_t start, std::uint64_t end, std::uint64_t other_start,
              std::uint64_t other_size) {
  return start < other_start + other_size && other_start < end;
}

}  // namespace

bool PackageInsideSignedRange(const InstallerImage& image) {
  const package::CertificateTable& table = *image.signature;
  const std::uint64_t start = image.descriptor.trailer.payload_offset;
  const std::uint64_t end = static_cast<std::uint64_t>(image.descriptor.package_end);
  return !Overlaps(start, end, table.checksum_offset, 4) &&
         !Overlaps(start, end, table.security_entry_offset, 8) &&
         !Overlaps(start, end, table.offset, table.size);
}

std::string SignatureText(const InstallerImage& image) {
  if (!image.signature)
    return "none";
  return "certificate table of " + std::to_string(image.signature->size) + " bytes at offset " +
         std::to_string(image.signature->offset) + "; the package lies " +
         (PackageInsideSignedRange(image) ? "inside" : "partly outside") + " the signed range";
}

void WriteSignatureJson(JsonWriter& json, const InstallerImage& image) {
  json.Key("signature");
  if (!image.signature) {
    json.Null();
    return;
  }
  json.BeginObject().Key("offset").Number(image.signature->offset);
  json.Key("size").Number(image.signature->size);
  json.Key("package_inside_signed_range").Bool(PackageInsideSignedRange(image));
  json.EndObject();
}

}  // namespace omnipack

#pragma once

// What list and verify say about an installer's signature: whether it has a certificate table
// and whether its package lies in the bytes the signature covers.

#include <string>

#include "installer_image.h"
#include "json_writer.h"

namespace omnipack {

// True when the package neither holds nor overlaps a byte that the signature leaves out (the
// checksum, the security entry, the table). Only meaningful for a signed image.
bool PackageInsideSignedRange(const InstallerImage& image);

// "certificate table of N bytes at offset X; the package lies inside the signed range" (or
// "...reaches outside ..."), or "none".
std::string SignatureText(const InstallerImage& image);

// The key "signature": null, or its table's offset and size and whether the package is covered.
void WriteSignatureJson(JsonWriter& json, const InstallerImage& image);

}  // namespace omnipack

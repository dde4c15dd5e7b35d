#pragma once

// The lead-byte test of the active ANSI code page, the one fact about code pages that every layer
// needs; each target has its own implementation (win32/, posix/).
namespace base {

// True when byte is the lead byte of a double-byte character in the active ANSI code page.
bool IsLeadByte(unsigned char byte);

}  // namespace base

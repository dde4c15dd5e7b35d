#pragma once

namespace base {

// POSIX hosts have no ANSI code page; the lead-byte test follows an emulated one, 1252 (no lead
// bytes) until a test chooses another. Known double-byte pages: 932, 936, 949, 950.
void SetAnsiCodePage(unsigned code_page);

}  // namespace base

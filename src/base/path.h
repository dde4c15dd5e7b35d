#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Path helpers shared by every subsystem. Paths are ANSI texts in the active code page with "\" as
// the separator; where stated, the text is walked by double-byte characters so that a trail byte
// with the code of "\" is not taken for a separator. Capacities count the terminating zero, as
// the fixed buffers of the installer do.
namespace base {

inline constexpr std::size_t kPathCapacity = 260;

// Appends component with exactly one "\" between the two; false, with path unchanged, when
// length(path) + length(component) + 2 >= capacity.
bool JoinPath(std::string& path, std::size_t capacity, std::string_view component);

// Ends path at its last "\"; false (path unchanged) when it has none.
bool StripFileName(std::string& path);

// Removes a "." and what follows when the dot is among the last four characters and is not the
// first character of the name.
void StripExtension(std::string& name);

// The file-name part of a path; empty when it has neither ":" nor "\".
std::string FileNameOf(std::string_view path);

// Drive and folder (trailing "\" removed unless the folder is just "\"), and name with extension.
void SplitDirectoryAndName(std::string_view path, std::string& directory, std::string& name);

// True when text ends with "\" as a character of its own, not as the trail byte of a
// double-byte character.
bool EndsWithSeparator(std::string_view text);

// True when path names its place by itself: a drive letter with its root ("C:\") or a UNC name
// ("\\server"). "/" counts as "\". Anything else, "\name" and "C:name" included, depends on a
// current folder.
bool IsAbsolutePath(std::string_view path);

// True when a stored name stays inside the folder it is unpacked into: not empty, relative (no
// leading separator, no drive or UNC prefix, no ":"), and no ".." component. "/" counts as a
// separator too, as it does for the system.
bool IsContainedRelativePath(std::string_view name);

// True when one path component names a DOS device (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9) in
// any letter case: Windows opens the device for it whatever extension follows ("con.txt") and
// after dropping trailing dots and spaces ("NUL. ", "com1 .log").
bool IsDeviceName(std::string_view component);

// True when any component of path, split at "\" and "/", is a device name (IsDeviceName).
bool NamesDevice(std::string_view path);

}  // namespace base

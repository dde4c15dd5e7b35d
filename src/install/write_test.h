#pragma once

#include <string>

namespace install {

// Whether a folder takes new files, as SETWORKDIR and SETBACKUPDIR check it: the file
// "ORQ<n>.tmp" (n one draw of the runtime's generator seeded with the time, in upper-case
// hexadecimal) is created in folder without sharing and deleted again. True when it was created.
bool PassesWriteTest(const std::string& folder);

}  // namespace install

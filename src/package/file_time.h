#pragma once

#include <string>

#include "package/format.h"
#include "platform/file.h"

namespace package {

// Sets the access and modification times of a file to a local time stamp; a stamp that is all zero
// sets them to the current time. True when the system accepted the change.
bool SetFileTimeStamp(const std::string& path, const TimeStamp& time);

// The same on an open file, whose times then stay as set when it is closed.
bool SetFileTimeStamp(platform::File& file, const TimeStamp& time);

// The modification time of a file as a local time stamp; on failure time is all zero.
bool GetFileTimeStamp(const std::string& path, TimeStamp& time);

}  // namespace package

#pragma once

// Names in a package that the installer treats specially.

#include <string_view>

namespace omnipack {

// The install script; the installer extracts it from the main set and runs it.
inline constexpr std::string_view kScriptName = "ORQSCRIP.OSC";

}  // namespace omnipack

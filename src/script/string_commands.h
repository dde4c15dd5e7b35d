#pragma once

#include <span>

#include "script/script_context.h"

// STRINGAPPEND, NAMEAPPENDFILE, NAMESTRIPFILE and ISVALIDFILTER: building texts and paths in
// script variables, and asking whether a file group of the package is to be installed.
namespace script {

std::span<const HandlerEntry> StringCommandHandlers();

}  // namespace script

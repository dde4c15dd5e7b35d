#pragma once

// How findings of a check are shown: one line each in the layout compilers use, so that editors
// can jump to them, and a summary; or one JSON object.

#include <ostream>
#include <string>
#include <vector>

#include "script_check.h"

namespace omnipack {

// "FILE:LINE: error: TEXT (status N)"; a warning, or an error at which the installer goes on,
// names no status.
std::string FindingLine(const Finding& finding);

// "2 errors, 1 warning".
std::string FindingsSummary(const std::vector<Finding>& findings);

bool HasErrors(const std::vector<Finding>& findings);

// Every finding's line, then the summary.
void WriteFindings(std::ostream& out, const std::vector<Finding>& findings);

// {"script": ..., "errors": N, "warnings": N, "findings": [{"file", "line", "severity", "text",
// "status"}, ...]}
std::string FindingsJson(const std::string& script, const std::vector<Finding>& findings);

}  // namespace omnipack

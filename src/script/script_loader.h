#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/status.h"
#include "script/script_context.h"

namespace script {

struct LoadedScript {
  Status status = status::kOk;
  // Present whenever it could be allocated, also when loading failed, so that the run report can
  // be taken; releasing it releases the whole script.
  std::unique_ptr<ScriptContext> context;
};

// Creates the context, defines g_NoChange from environment.state.no_change, keeps the package
// folder (cut to 259 characters), reports message 61 with the script path, reads and parses the
// script and checks that a section "Main" exists (status::kMainNotFound when not).
// RunThisPackage and RunMain follow when the status is kOk.
LoadedScript LoadScript(const std::string& script_path, std::string_view package_folder,
                        ScriptEnvironment environment);

// What the caller learns of a run besides its status: the line reached and the error text, cut to
// error_capacity - 1 characters. Without a context, line 0 and an empty text.
struct RunReport {
  std::int32_t line = 0;
  std::string error_text;
};
RunReport TakeRunReport(const ScriptContext* context, std::size_t error_capacity);

}  // namespace script

#pragma once

// The fixture of tests that run single commands: a script context with the handlers of this build,
// whose running section is "Main", and the reporter and run state it reaches.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "base/status.h"
#include "recording_reporter.h"
#include "script/command_table.h"
#include "script/run_state.h"
#include "script/script_context.h"

namespace test_support {

class CommandTest : public ::testing::Test {
 protected:
  CommandTest();

  // Runs one command by opcode as the interpreter does (section flag and secondary status reset
  // first); a test failure when this build has no handler for the opcode.
  Status Run(script::Opcode opcode, std::string argument);

  std::optional<std::string> Variable(const std::string& name) const;
  // True when the last command ended the running section.
  bool Stopped() const { return context.current_section->stop; }

  RecordingReporter reporter;
  script::RunState state;
  script::ScriptContext context;
};

}  // namespace test_support

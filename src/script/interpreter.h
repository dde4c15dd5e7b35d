#pragma once

#include <cstdint>

#include "base/status.h"
#include "script/script_context.h"

// Runs a loaded script: the load-time section, then Main, each command through its handler.
namespace script {

// Sections run inside one another (CALL, CONTINUEIF, INSTALLFILES) at most this deep, so that
// sections calling each other without end cannot exhaust the stack; and at most this many
// sections start in one run, so that sections each calling the next several times cannot run for
// ages. Going beyond either fails with kRunawaySections (status::kLineTooLong, whose message says
// the section is too long) and logs the section's name (message 150). Real scripts stay far below
// both.
inline constexpr int kMaxSectionDepth = 64;
inline constexpr std::uint32_t kMaxSectionRuns = 100000;
inline constexpr Status kRunawaySections = status::kLineTooLong;

// Runs "ThisPackage" when the script has it; its INCLUDEGLOBALS lines read their globals files.
// Stop flags do not count here: the first non-zero status ends it and is the load status.
Status RunThisPackage(ScriptContext& context);

// Runs every command of "Main" whatever fails; their statuses and the final-status word make the
// run's status as MainOutcome says. status::kMainNotFound when the script has no "Main".
Status RunMain(ScriptContext& context);

// Clears the command status and the current section's stop flag, then runs the command's handler;
// status::kUnknownCommand when the opcode has no handler in this build (INCLUDEGLOBALS never has
// one). A failure leaves one log line (message 163) with the section, line, keyword and status.
Status DispatchCommand(ScriptContext& context, const ScriptCommand& command);

// Runs the section that calling's argument names, for CALL, CONTINUEIF and INSTALLFILES, until a
// command fails or stops it. status::kSectionNotFound when there is no such section; for
// INSTALLFILES, kNotFileCommand at the first command other than FILE or COPYFILEAS;
// kRunawaySections beyond the limits above; otherwise the first failure of its commands. A
// failure stops the calling section, and so does a stopped section run by CONTINUEIF.
Status RunSection(ScriptContext& context, const ScriptCommand& calling);

}  // namespace script

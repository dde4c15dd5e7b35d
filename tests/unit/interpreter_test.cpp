#include "script/interpreter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "log/messages.h"
#include "script/command_table.h"
#include "script/main_outcome.h"
#include "script/script_parser.h"
#include "script_runner.h"
#include "shell/run/command_handlers.h"

namespace {

using namespace std::string_literals;
using test_support::Crlf;
using test_support::ExpectVariables;
using test_support::ScriptRunner;
using Report = test_support::RecordingReporter::Report;
using test_support::Variables;

TEST(MainOutcome, CombinesStatusesWithTheFinalStatusWord) {
  const struct {
    const char* what;
    std::vector<std::pair<Status, std::uint16_t>> steps;  // status, word after the command
    std::uint16_t word_at_end;
    Status run_status;
    std::uint16_t word_after;
  } cases[] = {
      {"nothing ran", {}, 1, 0, 1},
      {"success while the word is set changes nothing", {{0, 1}, {0, 1}}, 1, 0, 1},
      {"success once the word is 0", {{0, 0}}, 0, 0, 0},
      {"failure, then success once the word is 0", {{9, 1}, {0, 0}}, 0, 0, 0},
      {"word cleared, then a failure", {{0, 1}, {9, 0}}, 0, 9, 0},
      {"the last failure counts", {{4, 1}, {28, 1}, {0, 1}}, 1, 28, 1},
      {"a success clears a word set again later", {{0, 0}, {0, 3}}, 3, 0, 0},
      {"45 while the word is 0 is a success", {{45, 0}}, 0, 0, 0},
      {"45 while the word is set", {{45, 2}}, 2, 45, 2},
      {"45 wins over failures", {{45, 1}, {9, 1}}, 1, 45, 1},
      {"a later success wins over 45", {{45, 1}, {0, 0}}, 0, 0, 0},
      {"a later 45 wins over a success", {{0, 0}, {45, 1}}, 1, 45, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    script::MainOutcome outcome;
    for (const auto& [status, word] : c.steps)
      outcome.Record(status, word);
    std::uint16_t word = c.word_at_end;
    EXPECT_EQ(outcome.Finish(word), c.run_status);
    EXPECT_EQ(word, c.word_after);
  }
}

TEST(Interpreter, RunsThisPackageThenMain) {
  const struct {
    const char* what;
    const char* script;
    Status status;
    std::uint16_t word;
    Variables variables;
  } cases[] = {
      {"an empty Main keeps the word", "[Main]\n", 0, 1, {}},
      {"ThisPackage defines what Main uses",
       "[Main]\nSet done=TRUE\n[ThisPackage]\nSet TRUE=1\n",
       0,
       1,
       {{"done", "1"}}},
      {"Main runs every command whatever fails",
       "[Main]\nCall Missing\nNameStripFile missing\nSet after=1\n",
       28,
       1,
       {{"after", "1"}}},
      {"a success while the word is 0 wins over an earlier failure",
       "[Main]\nCall Missing\nSetFinalStatusFlag fs=0\n",
       0,
       0,
       {}},
      {"a failure after a called section cleared the word",
       "[Main]\nSetFinalStatusFlag fs=1\nCall Install\n"
       "[Install]\nSetFinalStatusFlag fs=0\nNameStripFile missing\nSet after=1\n",
       28,
       0,
       {{"after", std::nullopt}}},
      {"RETURN and CONTINUEIF in Main do not end it",
       "[Main]\nReturn\nContinueIf Stopper\nSet after=1\n[Stopper]\nReturn\n",
       0,
       1,
       {{"after", "1"}}},
      {"INCLUDEGLOBALS outside ThisPackage has no handler",
       "[Main]\nIncludeGlobals globals.inc\nSet after=1\n",
       2,
       1,
       {{"after", "1"}}},
      {"a second section named Main never runs",
       "[Main]\nSet first=1\n[Main]\nSet second=1\n",
       0,
       1,
       {{"first", "1"}, {"second", std::nullopt}}},
      {"stop flags do not end ThisPackage",
       "[ThisPackage]\nReturn\nContinueIf Stopper\nSet y=1\n[Stopper]\nReturn\n[Main]\n",
       0,
       1,
       {{"y", "1"}}},
      {"a failure in ThisPackage is the load status and Main does not run",
       "[ThisPackage]\nSet a=1\nCall Missing\nSet b=1\n[Main]\nSet c=1\n",
       4,
       1,
       {{"a", "1"}, {"b", std::nullopt}, {"c", std::nullopt}}},
      {"SETFINALSTATUSFLAG in ThisPackage sets the word Main starts with",
       "[ThisPackage]\nSetFinalStatusFlag fs=3\n[Main]\nSet x=1\n",
       0,
       3,
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptRunner runner;
    EXPECT_EQ(runner.Run(Crlf(c.script)), c.status);
    EXPECT_EQ(runner.state.final_status_word, c.word);
    ExpectVariables(runner, c.variables);
  }
}

TEST(Interpreter, ReportsMainAndEachContinueIf) {
  ScriptRunner runner;
  ASSERT_EQ(runner.Run(Crlf("[Main]\nContinueIf Check\nContinueIf Check\n[Check]\n")), 0);
  // The loader's message 61 comes first.
  ASSERT_EQ(runner.reporter.reports.size(), 6u);
  const std::vector<Report> run(runner.reporter.reports.begin() + 2, runner.reporter.reports.end());
  EXPECT_EQ(run, (std::vector<Report>{{Report::kProgress, 58, ""},
                                      {Report::kLog, 58, ""},
                                      {Report::kProgress, 12, ""},
                                      {Report::kProgress, 12, ""}}));
}

// The log alone shows every failure: also one that a later success outweighs in the run's status,
// and each CALL that a failure inside its section ends, from the innermost out.
TEST(Interpreter, EveryFailedCommandLeavesOneLogLine) {
  ScriptRunner runner;
  ASSERT_EQ(runner.Run(Crlf("[Main]\nCall Missing\nCall Install\nSetFinalStatusFlag fs=0\n"
                            "[Install]\nSet a=1\nNameStripFile missing\n")),
            0);
  std::vector<std::string> failures;
  for (const Report& report : runner.reporter.reports) {
    if (report.kind == Report::kLog && report.id == message::kCommandFailed)
      failures.push_back(report.text);
  }
  EXPECT_EQ(failures, (std::vector<std::string>{"[Main] line 2: CALL returned 4",
                                                "[Install] line 7: NAMESTRIPFILE returned 28",
                                                "[Main] line 3: CALL returned 28"}));
}

TEST(Interpreter, MainMissingFromTheContext) {
  ScriptRunner runner;
  ASSERT_EQ(runner.Load(Crlf("[Main]\n")), 0);
  runner.context().sections.Clear();
  EXPECT_EQ(script::RunMain(runner.context()), status::kMainNotFound);
}

// Self-calling sections stop at the depth limit; the run goes on as after any failing command.
TEST(Interpreter, SectionsCallingThemselvesStopAtTheDepthLimit) {
  const struct {
    const char* what;
    const char* script;
    const char* logged_section;
  } cases[] = {
      {"directly", "[Main]\nCall Loop\nSet after=1\n[Loop]\nCall Loop\nSet never=1\n", "Loop"},
      {"through another section and CONTINUEIF",
       "[Main]\nCall A\nSet after=1\n[A]\nContinueIf B\nSet never=1\n[B]\nCall A\n", "A"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptRunner runner;
    EXPECT_EQ(runner.Run(Crlf(c.script)), script::kRunawaySections);
    ExpectVariables(runner, {{"after", "1"}, {"never", std::nullopt}});
    EXPECT_EQ(runner.ReportsOf(message::kSectionsNestedTooDeep),
              (std::vector<Report>{{Report::kLog, 150, c.logged_section}}));
    EXPECT_EQ(runner.context().call_depth, 0);
  }
}

// A chain S1 -> S2 -> ... -> Sn; the last section sets "reached".
std::string CallChain(int length) {
  std::string script = "[Main]\nCall S1\n";
  for (int i = 1; i < length; ++i)
    script += "[S" + std::to_string(i) + "]\nCall S" + std::to_string(i + 1) + "\n";
  script += "[S" + std::to_string(length) + "]\nSet reached=1\n";
  return Crlf(script);
}

TEST(Interpreter, DepthLimitIsExact) {
  ScriptRunner deepest;
  EXPECT_EQ(deepest.Run(CallChain(script::kMaxSectionDepth)), status::kOk);
  EXPECT_EQ(deepest.Variable("reached"), "1");

  ScriptRunner too_deep;
  EXPECT_EQ(too_deep.Run(CallChain(script::kMaxSectionDepth + 1)), script::kRunawaySections);
  EXPECT_EQ(too_deep.Variable("reached"), std::nullopt);
  EXPECT_EQ(too_deep.ReportsOf(message::kSectionsNestedTooDeep),
            (std::vector<Report>{
                {Report::kLog, 150,
                 std::string("S").append(std::to_string(script::kMaxSectionDepth + 1))}}));
}

// Sections that each call the next twice would run 2^40 sections; the run limit ends them.
TEST(Interpreter, SectionsThatMultiplyStopAtTheRunLimit) {
  std::string script = "[Main]\nCall F1\nSet after=1\n";
  for (int i = 1; i < 40; ++i) {
    const std::string call = "Call F" + std::to_string(i + 1) + "\n";
    script.append("[F").append(std::to_string(i)).append("]\n").append(call).append(call);
  }
  script += "[F40]\nSet leaf=1\n";
  ScriptRunner runner;
  EXPECT_EQ(runner.Run(Crlf(script)), script::kRunawaySections);
  EXPECT_EQ(runner.context().sections_run, script::kMaxSectionRuns);
  EXPECT_EQ(runner.Variable("leaf"), "1");
  EXPECT_EQ(runner.Variable("after"), "1");
  EXPECT_EQ(runner.ReportsOf(message::kSectionsNestedTooDeep).size(), 1u);
}

// INSTALLFILES runs its section through RunSection and lets only FILE and COPYFILEAS through.
TEST(Interpreter, InstallFilesSectionsHoldOnlyFileCommands) {
  ScriptRunner runner;
  ASSERT_EQ(runner.Load(Crlf("[Main]\n[Mixed]\nSet x=1\nFile a.dll\n[Files]\nCopyFileAs a,b\n")),
            status::kOk);
  script::ScriptContext& context = runner.context();
  script::ScriptSection* main = context.sections.Find("Main");
  context.current_section = main;

  const script::ScriptCommand install_mixed{script::opcode::kInstallFiles, 1, "Mixed"};
  EXPECT_EQ(script::RunSection(context, install_mixed), status::kNotFileCommand);
  EXPECT_EQ(runner.Variable("x"), std::nullopt);
  EXPECT_TRUE(main->stop);
  EXPECT_EQ(context.current_section, main);

  // A file command is dispatched, not refused.
  const script::ScriptCommand install_files{script::opcode::kInstallFiles, 1, "Files"};
  EXPECT_NE(script::RunSection(context, install_files), status::kNotFileCommand);

  // The restriction belongs to INSTALLFILES only.
  const script::ScriptCommand call_mixed{script::opcode::kCall, 1, "Mixed"};
  script::RunSection(context, call_mixed);
  EXPECT_EQ(runner.Variable("x"), "1");
}

TEST(HandlerTable, EveryOpcodeHasAtMostOneHandlerAndIsACommand) {
  std::set<script::Opcode> seen;
  for (const script::HandlerList list : shell::CommandHandlerLists()) {
    for (const script::HandlerEntry& entry : list) {
      EXPECT_TRUE(seen.insert(entry.opcode).second) << "opcode " << entry.opcode << " twice";
      EXPECT_NE(entry.handler, nullptr);
      EXPECT_NE(entry.opcode, script::opcode::kIncludeGlobals);
      bool in_table = false;
      for (const script::CommandKeyword& command : script::CommandTable())
        in_table = in_table || command.opcode == entry.opcode;
      EXPECT_TRUE(in_table) << "opcode " << entry.opcode;
    }
  }
}

// The portable commands run in every build; the commands of subsystems that this build does not
// have yet (natively: file installation, INI, queries, registry, services) end with status 2,
// the status of an opcode without a handler, as INCLUDEGLOBALS outside ThisPackage always does.
TEST(HandlerTable, CommandsWithoutHandlerInThisBuildEndWithStatus2) {
  const std::set<std::string_view> portable = {
      "CALL",          "CONTINUEIF",      "RETURN",
      "SET",           "STRINGAPPEND",    "NAMEAPPENDFILE",
      "NAMESTRIPFILE", "ISVALIDFILTER",   "SETFINALSTATUSFLAG",
      "REPORTSTATUS",  "ISFORCESWITCHSET"};
  std::set<std::string_view> handled;
  ScriptRunner runner;
  for (const script::CommandKeyword& command : script::CommandTable()) {
    if (shell::CommandHandlers().Find(command.opcode) != nullptr) {
      handled.insert(command.keyword);
      continue;
    }
    EXPECT_EQ(runner.Run(Crlf("[Main]\n" + std::string(command.keyword) + " x\n")),
              status::kUnknownCommand)
        << command.keyword;
  }
  for (const std::string_view keyword : portable)
    EXPECT_TRUE(handled.count(keyword)) << keyword;
  EXPECT_FALSE(handled.count("INCLUDEGLOBALS"));
#ifndef _WIN32
  EXPECT_EQ(handled, portable);
#endif
  EXPECT_EQ(shell::CommandHandlers().Find(0x1D), nullptr);  // no command has this opcode
  EXPECT_EQ(shell::CommandHandlers().Find(0xFFFFFFFF), nullptr);
}

// Whatever the script text, the run ends with a status.
TEST(Interpreter, AnyTextEndsInAStatus) {
  std::string many_sections;
  for (int i = 0; i < 10000; ++i)
    many_sections += "[S" + std::to_string(i) + "]\r\nSet v" + std::to_string(i % 7) + "=1\r\n";
  many_sections += "[Main]\r\nCall S9999\r\nCall S0\r\n";

  const struct {
    const char* what;
    std::string script;
    Status status;
  } cases[] = {
      {"a line of 100,000 characters", Crlf("[Main]\nSet x=") + std::string(100000, 'a'), 3},
      {"NUL bytes end the text", "[Main]\r\nSet a=1\r\n\0Call Missing\r\n"s, 0},
      {"10,000 sections", many_sections, 0},
      {"10,000 sections each calling the next", CallChain(10000), script::kRunawaySections},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptRunner runner;
    EXPECT_EQ(runner.Run(c.script), c.status);
  }

  // Junk made of script pieces, and in every other round random bytes too: any status will do, as
  // long as the run ends and leaves no section running. Pieces alone mostly parse and run.
  const char* const pieces[] = {
      "[A]\r\n",
      "[B]\r\n",
      "[Main]\r\n",
      "[ThisPackage]\r\n",
      "Call A\r\n",
      "Call B\r\n",
      "ContinueIf A\r\n",
      "ContinueIf B\r\n",
      "Return\r\n",
      "Return a==1|b<2\r\n",
      "Return ==\r\n",
      "Set a=1\r\n",
      "Set b=a\r\n",
      "Set a=b\r\n",
      "StringAppend a = a, a\r\n",
      "NameAppendFile a = a, b\r\n",
      "NameStripFile a\r\n",
      "IsValidFilter a = b\r\n",
      "IncludeGlobals a\r\n",
      "\n",
      ";",
  };
  std::uint32_t seed = 12345;
  const auto next = [&seed] {
    seed = seed * 1664525 + 1013904223;
    return seed >> 8;
  };
  ScriptRunner runner;
  int ran_sections = 0;
  for (int round = 0; round < 150; ++round) {
    std::string junk = "[Main]\r\n";
    const std::uint32_t count = next() % 60;
    const std::size_t bytes = round % 2 == 0 ? 0 : 4;
    for (std::uint32_t i = 0; i < count; ++i) {
      const std::uint32_t pick = next() % (std::size(pieces) + bytes);
      if (pick < std::size(pieces))
        junk += pieces[pick];
      else
        junk += static_cast<char>(next());
    }
    SCOPED_TRACE(junk);
    runner.Run(junk);
    EXPECT_EQ(runner.context().call_depth, 0);
    ran_sections += runner.context().sections_run > 0;
  }
  EXPECT_GT(ran_sections, 20);
}

}  // namespace

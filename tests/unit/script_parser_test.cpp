#include "script/script_parser.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "recording_reporter.h"
#include "script/command_table.h"
#include "script/script_context.h"
#include "shell/run/command_handlers.h"

namespace {

using namespace std::string_literals;

class ScriptParser : public testing::Test {
 protected:
  // The parsed program in one line: "[name]" for each section followed by
  // " KEYWORD@line(argument)" for each of its commands.
  std::string Render() const {
    std::string out;
    for (const script::ScriptSection& section : context.sections) {
      out.append("[").append(section.name).append("]");
      for (const script::ScriptCommand& command : section.commands) {
        out.append(" ").append(KeywordOf(command.opcode)).append("@");
        out.append(std::to_string(command.line)).append("(").append(command.argument).append(")");
      }
    }
    return out;
  }

  static std::string KeywordOf(script::Opcode opcode) {
    for (const script::CommandKeyword& entry : script::CommandTable()) {
      if (entry.opcode == opcode)
        return std::string(entry.keyword);
    }
    return std::to_string(opcode);
  }

  test_support::RecordingReporter reporter;
  script::RunState state;
  script::ScriptContext context{
      script::ScriptEnvironment{reporter, state, shell::CommandHandlers()}};
};

struct ParseCase {
  std::string name;
  std::string text;
  Status status;
  std::string program;  // Render() after the parse
  std::int32_t line;
  std::string error_text;
};

TEST_F(ScriptParser, TurnsTextIntoSectionsOfCommands) {
  const std::string name60 = std::string(50, 'N') + "x" + "CloneSelf]";
  const ParseCase cases[] = {
      {"comment after header", "[Main] ; note\r\nSet x=1\r\n", 0, "[Main] SET@2(x=1)", 3, ""},
      {"blanks kept in names", "[ Main ]\r\n", 0, "[ Main ]", 2, ""},
      {"keywords ignore case", "[Main]\r\nset x=1\r\nSET x=1\r\nContinueIf A\r\nreturn\r\n", 0,
       "[Main] SET@2(x=1) SET@3(x=1) CONTINUEIF@4(A) RETURN@5()", 6, ""},
      {"keyword with digits", "[M]\r\nGet4xDatVersion v\r\nUnLoadPlugin p", 0,
       "[M] GET4XDATVERSION@2(v) UNLOADPLUGIN@3(p)", 3, ""},
      {"semicolon inside argument", "[Main]\r\nSet x=1 ; note\r\n", 0, "[Main] SET@2(x=1 ; note)",
       3, ""},
      {"empty argument", "[Main]\r\nCloneSelf\r\n", 0, "[Main] CLONESELF@2()", 3, ""},
      {"blanks and TABs around", "[Main]\r\n  \tSet\t x = 1 \t\r\n", 0, "[Main] SET@2(x = 1)", 3,
       ""},
      {"no separator after keyword", "[Main]\r\nSet=x\r\nReturn|", 0,
       "[Main] SET@2(=x) RETURN@3(|)", 3, ""},
      {"quotes and brackets are plain", "[Main]\r\nSet Quote=\"\r\nSet b=[x]\r\n", 0,
       "[Main] SET@2(Quote=\") SET@3(b=[x])", 4, ""},
      {"last line without CR LF", "[Main]\r\nSet x=1", 0, "[Main] SET@2(x=1)", 2, ""},
      {"comment lines", ";[Main]\r\n[Main]\r\n  ; Set x=1\r\n\tSet y=2", 0, "[Main] SET@4(y=2)", 4,
       ""},
      {"command after header on its line", "[Main]CloneSelf\r\n", 0, "[Main] CLONESELF@1()", 2, ""},
      {"headers side by side", "[A][B]\r\n", 0, "[A][B]", 2, ""},
      {"repeated names", "[Main]\r\nCall A\r\n[Main]\r\nCall B", 0,
       "[Main] CALL@2(A)[Main] CALL@4(B)", 4, ""},
      {"header at the end of text", "[Main]\r\n[Ma", 0, "[Main][Ma]", 2, ""},
      {"bare bracket", "[", 0, "[]", 1, ""},
      {"50-character name", "[" + std::string(50, 'N') + "]\r\nCloneSelf", 0,
       "[" + std::string(50, 'N') + "] CLONESELF@2()", 2, ""},
      {"60-character name", "[" + name60 + "\r\n", 0,
       "[" + std::string(50, 'N') + "] CLONESELF@1(])", 2, ""},
      // The argument of a bare-LF line runs on to the next CR; lines are counted by the LFs the
      // parser itself meets.
      {"bare LF line ends", "[Main]\nSet a=1\nSet b=2\r\nCloneSelf", 0,
       "[Main] SET@2(a=1\nSet b=2) CLONESELF@3()", 3, ""},
      {"text ends at the first NUL", "[Main]\r\nSet x=1\0Bogus\r\n[X]"s, 0, "[Main] SET@2(x=1)", 2,
       ""},
      {"NUL right after header", "[Main]\0Bogus"s, 0, "[Main]", 1, ""},
      {"empty text", "", 0, "", 1, ""},
      {"only blanks", " \t\r\n\r\n", 0, "", 3, ""},
  };
  for (const ParseCase& c : cases) {
    context.sections.Clear();
    context.current_section = nullptr;
    EXPECT_EQ(script::ParseScript(context, c.text), c.status) << c.name;
    EXPECT_EQ(Render(), c.program) << c.name;
    EXPECT_EQ(context.line, c.line) << c.name;
    EXPECT_EQ(context.error_text, c.error_text) << c.name;
  }
}

TEST_F(ScriptParser, StopsAtTheFirstErrorWithItsLineAndKeyword) {
  const std::string arg259(259, '-');  // not a keyword character
  const std::string long_keyword(300, 'K');
  const ParseCase cases[] = {
      {"unknown keyword", "[Main]\r\nSet x=1\r\nSetx=1\r\nSet y=2", 2, "[Main] SET@2(x=1)", 3,
       "SETX"},
      {"keyword is upper-cased", "[Main]\r\n\r\n  bogus4 x", 2, "[Main]", 3, "BOGUS4"},
      {"no keyword at all", "[Main]\r\n=x", 2, "[Main]", 2, ""},
      {"non-ASCII byte", "[Main]\r\n\xC4nderung", 2, "[Main]", 2, ""},
      {"keyword of 259 characters", "[M]\r\n" + long_keyword.substr(0, 259), 2, "[M]", 2,
       long_keyword.substr(0, 259)},
      {"keyword longer than its buffer", "[M]\r\n" + long_keyword + " x", 2, "[M]", 2,
       long_keyword.substr(0, 259)},
      // The limit counts the argument as written, blanks included.
      {"argument of 259 characters", "[M]\r\nSet" + arg259 + "\r\nCloneSelf", 0,
       "[M] SET@2(" + arg259 + ") CLONESELF@3()", 3, ""},
      {"259 with leading blanks", "[M]\r\nSet  " + arg259.substr(2), 0,
       "[M] SET@2(" + arg259.substr(2) + ")", 2, ""},
      {"259 at end of text", "[M]\r\nSet" + arg259, 0, "[M] SET@2(" + arg259 + ")", 2, ""},
      {"argument of 260 characters", "[M]\r\nCloneSelf\r\nSet" + arg259 + "a\r\n", 3,
       "[M] CLONESELF@2()", 3, ""},
      {"260 at end of text", "[M]\r\nSet" + arg259 + "a", 3, "[M]", 2, ""},
      {"260 of blanks", "[M]\r\nSet" + std::string(260, ' ') + "\r\n", 3, "[M]", 2, ""},
      {"bare LF lines run into the limit",
       "[M]\nSet a=" + std::string(200, 'x') + "\nSet b=" + std::string(60, 'x') + "\r\n", 3, "[M]",
       2, ""},
      // The keyword is judged before the length of its argument.
      {"unknown keyword with long argument", "[M]\r\nBogus " + arg259 + "\r\n", 2, "[M]", 2,
       "BOGUS"},
      {"command before the first header", "\r\nSet x=1\r\n[Main]\r\n", 4, "", 2, ""},
      {"unknown keyword before the first header", "Bogus\r\n[Main]", 2, "", 1, "BOGUS"},
      {"rest of over-long header", "[" + std::string(50, 'N') + "x Bogus]\r\n", 2,
       "[" + std::string(50, 'N') + "]", 1, "BOGUS"},
  };
  for (const ParseCase& c : cases) {
    context.sections.Clear();
    context.current_section = nullptr;
    context.error_text.clear();
    EXPECT_EQ(script::ParseScript(context, c.text), c.status) << c.name;
    EXPECT_EQ(Render(), c.program) << c.name;
    EXPECT_EQ(context.line, c.line) << c.name;
    EXPECT_EQ(context.error_text, c.error_text) << c.name;
  }
}

TEST_F(ScriptParser, FindTakesTheFirstExactMatch) {
  ASSERT_EQ(script::ParseScript(context, "[main]\r\n[Main]\r\nCall A\r\n[Main]\r\nCall B\r\n"), 0);
  const script::ScriptSection* main = context.sections.Find("Main");
  ASSERT_NE(main, nullptr);
  ASSERT_EQ(main->commands.Count(), 1u);
  EXPECT_EQ(main->commands.At(0)->argument, "A");
  EXPECT_EQ(context.sections.Find("MAIN"), nullptr);
  EXPECT_EQ(context.sections.Find("Main "), nullptr);
}

TEST_F(ScriptParser, EveryKeywordOfTheTableParsesToItsOpcode) {
  std::string text = "[All]\r\n";
  for (const script::CommandKeyword& entry : script::CommandTable())
    text += std::string(entry.keyword) + " arg\r\n";
  ASSERT_EQ(script::ParseScript(context, text), 0);
  const script::ScriptSection& section = *context.sections.At(0);
  ASSERT_EQ(section.commands.Count(), script::CommandTable().size());
  std::size_t i = 0;
  for (const script::ScriptCommand& command : section.commands) {
    EXPECT_EQ(command.opcode, script::CommandTable()[i].opcode)
        << script::CommandTable()[i].keyword;
    EXPECT_EQ(command.line, static_cast<std::int32_t>(i + 2));
    ++i;
  }
}

TEST_F(ScriptParser, HugeInputEndsInAStatus) {
  const std::string long_line(100000, 'x');
  const struct {
    std::string name;
    std::string text;
    Status status;
  } cases[] = {
      {"long argument", "[Main]\r\nSet " + long_line + "\r\n", 3},
      {"long keyword", "[Main]\r\n" + long_line, 2},
      {"long comment", "[Main]\r\n;" + long_line + "\r\nCloneSelf", 0},
      {"long header", "[" + long_line + "]", 2},
      {"long blank run", "[Main]\r\n" + std::string(100000, ' ') + "CloneSelf", 0},
  };
  for (const auto& c : cases) {
    context.sections.Clear();
    context.current_section = nullptr;
    EXPECT_EQ(script::ParseScript(context, c.text), c.status) << c.name;
  }
}

TEST_F(ScriptParser, TenThousandSectionsAreAllKept) {
  std::string text;
  for (int i = 0; i < 10000; ++i)
    text += "[S" + std::to_string(i) + "]\r\nCall S" + std::to_string(i + 1) + "\r\n";
  ASSERT_EQ(script::ParseScript(context, text), 0);
  EXPECT_EQ(context.sections.Count(), 10000u);
  EXPECT_EQ(context.line, 20001);
  const script::ScriptSection* last = context.sections.Find("S9999");
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(last, context.current_section);
  EXPECT_EQ(last->commands.At(0)->line, 20000);
}

// Random bytes, and random mixes of the characters the grammar cares about, only ever end in one
// of the parse statuses.
TEST_F(ScriptParser, BinaryJunkEndsInAParseStatus) {
  std::mt19937 random(20240611);
  const std::string grammar = "[]; \t\r\n=,|SetCallMain\0"s;
  for (int round = 0; round < 2000; ++round) {
    const bool raw = round % 2 == 0;
    std::string text(random() % 2000, '\0');
    for (char& c : text)
      c = raw ? static_cast<char>(random()) : grammar[random() % grammar.size()];
    if (round % 3 == 0)
      text = "[Main]\r\n" + text;
    context.sections.Clear();
    context.current_section = nullptr;
    context.error_text.clear();
    const Status status = script::ParseScript(context, text);
    EXPECT_TRUE(status == 0 || status == 2 || status == 3 || status == 4) << status;
    EXPECT_LT(context.error_text.size(), script::kArgumentCapacity);
    for (const script::ScriptSection& section : context.sections) {
      EXPECT_LE(section.name.size(), script::kSectionNameLength);
      for (const script::ScriptCommand& command : section.commands)
        EXPECT_LT(command.argument.size(), script::kArgumentCapacity);
    }
  }
}

}  // namespace

#include "script/script_parser.h"

#include <algorithm>
#include <new>

#include "base/ascii_case.h"
#include "script/values.h"

namespace script {
namespace {

bool IsKeywordCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// position is on the "[". The name ends at "]", at the end of the text or after 50 characters;
// position ends on the character that closed it, which is passed over, so the rest of an
// over-long name is read as a command line.
void ReadSectionHeader(ScriptContext& context, std::string_view text, std::size_t& position) {
  const std::size_t start = position + 1;
  std::size_t end = start;
  while (end < text.size() && text[end] != ']' && end - start < kSectionNameLength)
    ++end;
  ScriptSection section;
  section.name.assign(text.substr(start, end - start));
  section.line = context.line;
  context.current_section = &context.sections.Append(std::move(section));
  position = end;
}

Status ReadCommand(ScriptContext& context, std::string_view text, std::size_t& position) {
  ScriptCommand command;
  command.line = context.line;
  if (Status status = ReadCommandLine(text, position, LookupKeyword, command, context.error_text))
    return status;
  if (context.current_section == nullptr)
    return status::kSectionNotFound;
  context.current_section->commands.Append(std::move(command));
  return status::kOk;
}

// The position before the LF that ends the line of position, or the text's last position.
std::size_t BeforeLineEnd(std::string_view text, std::size_t position) {
  const std::size_t lf = text.find('\n', position);
  return lf == std::string_view::npos ? text.size() - 1 : lf - 1;
}

Status Parse(ScriptContext& context, std::string_view text, std::vector<ParseProblem>* problems) {
  context.line = 1;
  bool comment = false;
  // Every element leaves position on the character where it stopped; the loop goes on after it.
  for (std::size_t position = 0; position < text.size(); ++position) {
    const char c = text[position];
    if (c == '\t' || c == '\r' || c == ' ')
      continue;
    if (c == '\n') {
      ++context.line;
      comment = false;
      continue;
    }
    if (c == ';')
      comment = true;
    if (comment)
      continue;
    if (c == '[') {
      ReadSectionHeader(context, text, position);
    } else if (Status status = ReadCommand(context, text, position)) {
      if (problems == nullptr)
        return status;
      problems->push_back({context.line, status, std::move(context.error_text)});
      context.error_text.clear();
      position = BeforeLineEnd(text, position);
    }
  }
  return status::kOk;
}

}  // namespace

Status ReadCommandLine(std::string_view text, std::size_t& position, KeywordLookup lookup,
                       ScriptCommand& command, std::string& error_text) {
  const std::size_t keyword_start = position;
  std::size_t keyword_end = keyword_start;
  while (keyword_end < text.size() && IsKeywordCharacter(text[keyword_end]))
    ++keyword_end;
  position = keyword_end;

  // A run longer than the keyword buffer can match no keyword; it is reported cut to that buffer.
  const std::size_t length = keyword_end - keyword_start;
  std::string keyword =
      base::FoldedAsciiCase(text.substr(keyword_start, std::min(length, kArgumentCapacity - 1)));
  const std::optional<Opcode> opcode = length < kArgumentCapacity ? lookup(keyword) : std::nullopt;
  if (!opcode) {
    error_text = std::move(keyword);
    return status::kUnknownCommand;
  }

  // Only as far as the limit is looked at, so an endless line costs no more than a short one.
  const std::string_view window = text.substr(keyword_end, kArgumentCapacity);
  const std::size_t cr = window.find('\r');
  if (cr == std::string_view::npos && window.size() == kArgumentCapacity)
    return status::kLineTooLong;
  const std::size_t argument_length = cr == std::string_view::npos ? window.size() : cr;
  command.opcode = *opcode;
  command.argument.assign(window.substr(0, argument_length));
  TrimBlanks(command.argument);
  position = keyword_end + argument_length;
  return status::kOk;
}

Status ParseScript(ScriptContext& context, std::string_view text,
                   std::vector<ParseProblem>* problems) {
  // The text is zero-terminated: whatever follows a NUL byte is not part of it.
  text = text.substr(0, text.find('\0'));
  try {
    return Parse(context, text, problems);
  } catch (const std::bad_alloc&) {
    return status::kNoMemory;
  }
}

}  // namespace script

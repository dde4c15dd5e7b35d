#include "script/registry_arguments.h"

#include <optional>

#include "script/values.h"

namespace script {
namespace {

// The key of "ROOT\key, rest": the root of the whole text and the key path from the root's
// backslash up to the next comma; rest receives what follows that comma.
Status SplitKeyAndRest(std::string_view text, RegistryPath& key, std::string_view& rest) {
  const std::optional<RegistryRoot> root = ParseRegistryRoot(text);
  if (!root)
    return status::kNoRegistryRoot;
  const std::size_t key_start = text.find('\\') + 1;
  const std::size_t comma = text.find(',', key_start);
  if (comma == std::string_view::npos)
    return status::kSubkeyNotFound;
  key.root = *root;
  key.subkey = Trimmed(text.substr(key_start, comma - key_start));
  rest = text.substr(comma + 1);
  return status::kOk;
}

}  // namespace

Status SplitValueQuery(std::string_view argument, ValueQuery& query) {
  const std::size_t equals = argument.find('=');
  if (equals == std::string_view::npos)
    return status::kNowhereToPutValue;
  const std::string_view target = TrimmedView(argument.substr(equals + 1));
  std::string_view value_name;
  if (Status split = SplitKeyAndRest(target, query.key, value_name))
    return split;
  query.variable = TrimmedView(argument.substr(0, equals));
  query.value_name = Trimmed(value_name);
  return status::kOk;
}

Status SplitValueAssignment(std::string_view argument, ValueAssignment& assignment) {
  std::string_view rest;
  if (Status split = SplitKeyAndRest(argument, assignment.key, rest))
    return split;
  const std::size_t equals = rest.find('=');
  if (equals == std::string_view::npos)
    return status::kValueNotFound;
  assignment.value_name = Trimmed(rest.substr(0, equals));
  const std::string_view value = rest.substr(equals + 1);
  const std::size_t comma = value.find(',');
  assignment.value_variable = TrimmedView(value.substr(0, comma));
  assignment.type = comma == std::string_view::npos ? "" : Trimmed(value.substr(comma + 1));
  return status::kOk;
}

}  // namespace script

#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/status.h"

namespace script {

struct ScriptContext;

// The one variable table of a script run. Names match exactly and case-sensitively; variables
// keep their creation order and are never deleted; a replaced value keeps its variable.
class VariableTable {
 public:
  // Copies the value, cut to capacity - 1 characters, into out; status::kSymbolNotFound when
  // there is no such variable (out untouched).
  Status Get(std::string_view name, std::string& out, std::size_t capacity) const;
  // Replaces the value of an existing variable or appends a new one; status::kNoMemory when
  // memory runs out (the table is then unchanged).
  Status Set(std::string_view name, std::string_view value);
  // The value, or null when there is no such variable.
  const std::string* Find(std::string_view name) const;
  std::size_t Count() const { return variables_.size(); }
  // Name and value in creation order.
  const std::vector<std::pair<std::string, std::string>>& InOrder() const { return variables_; }

 private:
  std::vector<std::pair<std::string, std::string>> variables_;
  // Looked up by string_view without building a key string.
  struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const {
      return std::hash<std::string_view>{}(name);
    }
  };
  std::unordered_map<std::string, std::size_t, NameHash, std::equal_to<>> index_;
};

// The operations handlers use on the context's variable table.
// The value of name, cut to capacity - 1 characters; 28 (out untouched) when there is none.
Status GetVariable(const ScriptContext& context, std::string_view name, std::string& out,
                   std::size_t capacity);
// status::kNoMemory when memory runs out; the table is then unchanged.
Status SetVariable(ScriptContext& context, std::string_view name, std::string_view value);

// SetVariable with a truth value: "1" or "0".
Status SetTruthVariable(ScriptContext& context, std::string_view name, bool value);
// Replaces operand by the value of the variable named exactly like it (cut to capacity - 1
// characters); leaves it as written when there is none.
void ResolveOperand(const ScriptContext& context, std::string& operand, std::size_t capacity);

}  // namespace script

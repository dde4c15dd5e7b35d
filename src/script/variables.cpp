#include "script/variables.h"

#include <new>

#include "script/script_context.h"
#include "script/values.h"

namespace script {

const std::string* VariableTable::Find(std::string_view name) const {
  const auto found = index_.find(name);
  return found == index_.end() ? nullptr : &variables_[found->second].second;
}

Status VariableTable::Get(std::string_view name, std::string& out, std::size_t capacity) const {
  const std::string* value = Find(name);
  if (value == nullptr)
    return status::kSymbolNotFound;
  out.assign(CutToCapacity(*value, capacity));
  return status::kOk;
}

Status VariableTable::Set(std::string_view name, std::string_view value) {
  try {
    std::string copy(value);
    if (const auto found = index_.find(name); found != index_.end()) {
      variables_[found->second].second = std::move(copy);
      return status::kOk;
    }
    variables_.emplace_back(std::string(name), std::move(copy));
    try {
      index_.emplace(variables_.back().first, variables_.size() - 1);
    } catch (const std::bad_alloc&) {
      variables_.pop_back();
      throw;
    }
    return status::kOk;
  } catch (const std::bad_alloc&) {
    return status::kNoMemory;
  }
}

Status GetVariable(const ScriptContext& context, std::string_view name, std::string& out,
                   std::size_t capacity) {
  return context.variables.Get(name, out, capacity);
}

Status SetVariable(ScriptContext& context, std::string_view name, std::string_view value) {
  return context.variables.Set(name, value);
}

void ResolveOperand(const ScriptContext& context, std::string& operand, std::size_t capacity) {
  const std::string* value = context.variables.Find(operand);
  if (value == nullptr)
    return;
  try {
    operand.assign(CutToCapacity(*value, capacity));
  } catch (const std::bad_alloc&) {
    // The operand then stays as written, as it does for a name that is no variable.
  }
}

Status SetTruthVariable(ScriptContext& context, std::string_view name, bool value) {
  return SetVariable(context, name, value ? "1" : "0");
}

}  // namespace script

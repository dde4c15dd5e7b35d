#pragma once

#include <string>
#include <string_view>

#include "base/status.h"
#include "script/registry_key_path.h"

// The argument forms of the registry commands that name a value. Every part is trimmed; none can
// outgrow its 260-byte buffer, since an argument is at most 259 characters. The variables are
// views of the argument, which must outlive them.
namespace script {

// "variable = ROOT\key, value name" of GETREGVALUE and FINDREGVALUE.
struct ValueQuery {
  std::string_view variable;
  RegistryPath key;
  std::string value_name;  // everything after the comma, commas included
};
// status::kNowhereToPutValue no "=", kNoRegistryRoot no known root, kSubkeyNotFound no ",".
Status SplitValueQuery(std::string_view argument, ValueQuery& query);

// "ROOT\key, value name = value variable [, type]" of SETREGVALUE.
struct ValueAssignment {
  RegistryPath key;
  std::string value_name;
  std::string_view value_variable;
  std::string type;  // empty when absent
};
// status::kNoRegistryRoot no known root, kSubkeyNotFound no ",", kValueNotFound no "=".
Status SplitValueAssignment(std::string_view argument, ValueAssignment& assignment);

}  // namespace script

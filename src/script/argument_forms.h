#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "base/status.h"
#include "script/command_table.h"
#include "script/list_items.h"

// What each command reads from its argument text, known from the text alone, for a check of a
// script that does not run it. Every form is split with the operations and capacities that the
// command's handler uses, so the statuses are the ones the command gives. What a form holds are
// views of the argument, which must outlive them.
namespace script {

// Names an argument holds: none, one name, or each item of a comma-separated list as the
// command's handler reads it (ListItems).
class ArgumentNames {
 public:
  ArgumentNames() = default;
  static ArgumentNames One(std::string_view name) { return ArgumentNames(Kind::kOne, name); }
  static ArgumentNames List(std::string_view text) { return ArgumentNames(Kind::kList, text); }

  template <typename Visit>
  void ForEach(Visit&& visit) const {
    if (kind_ == Kind::kOne) {
      visit(text_);
    } else if (kind_ == Kind::kList) {
      ListItems items(text_);
      for (std::optional<std::string_view> item = items.Next(); item; item = items.Next())
        visit(*item);
    }
  }

 private:
  enum class Kind : std::uint8_t { kNone, kOne, kList };
  ArgumentNames(Kind kind, std::string_view text) : kind_(kind), text_(text) {}
  Kind kind_ = Kind::kNone;
  std::string_view text_;
};

struct CommandArguments {
  // The status the command fails with for its text alone; kOk when the text has its form.
  Status form_status = status::kOk;
  std::optional<std::string_view> sets;  // the variable the command stores into
  // An item that must name a variable: the command fails with kSymbolNotFound when none does.
  std::optional<std::string_view> needs;
  // The item that stands for the value of a variable of its name, and for itself otherwise
  // (SET's value, DELETEDIRECTORY's folder, WAITFORTIME's count).
  std::optional<std::string_view> operand;
  std::string_view section;     // run by CALL, CONTINUEIF and INSTALLFILES
  ArgumentNames package_files;  // fetched from the package, as written
  ArgumentNames programs;       // the command lines of STARTORQAPPS
  bool names_root_key = false;  // a registry command's key is a root key itself
};

CommandArguments ReadArguments(Opcode opcode, std::string_view argument);

// "var = first, second" of STRINGAPPEND and NAMEAPPENDFILE; a missing part stays empty. The first
// part is read into a long buffer: it is where the result is built.
struct AppendParts {
  std::string_view var;
  std::string_view first;
  std::string_view second;
  bool Complete() const { return !var.empty() && !first.empty() && !second.empty(); }
};
AppendParts SplitAppendArgument(std::string_view argument);

// "var = product [, module-variable]" of LOADMODULE and UNLOADMODULE; a missing part stays empty.
struct ModuleArgument {
  std::string_view result;
  std::string_view product;
  std::string_view module_variable;
  bool Complete() const { return !result.empty() && !product.empty(); }
};
ModuleArgument SplitModuleArgument(std::string_view argument);

}  // namespace script

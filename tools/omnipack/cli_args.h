#pragma once

// Command-line parsing shared by every command: long options with "--name VALUE" or
// "--name=VALUE", an optional short alias, flags, repeatable options and positional arguments.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace omnipack {

struct OptionRule {
  std::string_view name;   // "--main"
  std::string_view alias;  // "-o", or empty
  bool takes_value = false;
  bool repeatable = false;
};

class ParsedArgs {
 public:
  bool Has(std::string_view option) const;
  // The value of a single-valued option.
  std::optional<std::string> Value(std::string_view option) const;
  // Every value of a repeatable option, in command-line order.
  std::vector<std::string> Values(std::string_view option) const;
  const std::vector<std::string>& positionals() const { return positionals_; }

 private:
  friend bool ParseArgs(std::span<const std::string>, std::span<const OptionRule>, ParsedArgs&,
                        std::string&);
  std::vector<std::pair<std::string_view, std::string>> options_;  // option name, value
  std::vector<std::string> positionals_;
};

// True when args asks for help ("--help" or "-h" before any "--").
bool WantsHelp(std::span<const std::string> args);

// False with a one-line error for an unknown option, a missing value or an option given twice
// that may appear once. "--" ends the options.
bool ParseArgs(std::span<const std::string> args, std::span<const OptionRule> rules,
               ParsedArgs& parsed, std::string& error);

}  // namespace omnipack

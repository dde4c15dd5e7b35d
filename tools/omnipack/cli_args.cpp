#include "cli_args.h"

#include <algorithm>

namespace omnipack {
namespace {

const OptionRule* FindOption(std::span<const OptionRule> rules, std::string_view word) {
  for (const OptionRule& rule : rules) {
    if (word == rule.name || (!rule.alias.empty() && word == rule.alias))
      return &rule;
  }
  return nullptr;
}

}  // namespace

bool ParsedArgs::Has(std::string_view option) const {
  return std::any_of(options_.begin(), options_.end(),
                     [&](const auto& item) { return item.first == option; });
}

std::optional<std::string> ParsedArgs::Value(std::string_view option) const {
  for (const auto& [name, value] : options_) {
    if (name == option)
      return value;
  }
  return std::nullopt;
}

std::vector<std::string> ParsedArgs::Values(std::string_view option) const {
  std::vector<std::string> values;
  for (const auto& [name, value] : options_) {
    if (name == option)
      values.push_back(value);
  }
  return values;
}

bool WantsHelp(std::span<const std::string> args) {
  for (const std::string& arg : args) {
    if (arg == "--")
      return false;
    if (arg == "--help" || arg == "-h")
      return true;
  }
  return false;
}

bool ParseArgs(std::span<const std::string> args, std::span<const OptionRule> rules,
               ParsedArgs& parsed, std::string& error) {
  bool options_ended = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_ended || arg.size() < 2 || arg[0] != '-') {
      parsed.positionals_.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options_ended = true;
      continue;
    }
    const std::size_t equals = arg.rfind("--", 0) == 0 ? arg.find('=') : std::string::npos;
    const std::string word = arg.substr(0, equals);
    const OptionRule* rule = FindOption(rules, word);
    if (rule == nullptr) {
      error = "unknown option '" + word + "'";
      return false;
    }
    if (!rule->repeatable && parsed.Has(rule->name)) {
      error = "option " + std::string(rule->name) + " given more than once";
      return false;
    }
    std::string value;
    if (rule->takes_value) {
      if (equals != std::string::npos) {
        value = arg.substr(equals + 1);
      } else if (i + 1 < args.size()) {
        value = args[++i];
      } else {
        error = "option " + std::string(rule->name) + " needs a value";
        return false;
      }
    } else if (equals != std::string::npos) {
      error = "option " + std::string(rule->name) + " takes no value";
      return false;
    }
    parsed.options_.emplace_back(rule->name, std::move(value));
  }
  return true;
}

}  // namespace omnipack

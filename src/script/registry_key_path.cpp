#include "script/registry_key_path.h"

#include <array>

#include "base/ascii_case.h"

namespace script {
namespace {

struct RootName {
  std::string_view name;
  RegistryRoot root;
};
constexpr std::array<RootName, 3> kRoots = {{
    {"HKLM", RegistryRoot::kLocalMachine},
    {"HKLU", RegistryRoot::kUsers},
    {"HKCU", RegistryRoot::kCurrentUser},
}};

}  // namespace

std::optional<RegistryRoot> ParseRegistryRoot(std::string_view text) {
  const std::size_t separator = text.find('\\');
  if (separator == std::string_view::npos)
    return std::nullopt;
  for (const RootName& known : kRoots) {
    if (base::EqualsIgnoringCase(text.substr(0, separator), known.name))
      return known.root;
  }
  return std::nullopt;
}

std::optional<RegistryPath> ParseRegistryPath(std::string_view text) {
  const std::optional<RegistryRoot> root = ParseRegistryRoot(text);
  if (!root)
    return std::nullopt;
  return RegistryPath{*root, std::string(text.substr(text.find('\\') + 1))};
}

bool NamesRootKey(const RegistryPath& path) {
  // Separators alone name no key below the root either.
  return path.subkey.find_first_not_of('\\') == std::string::npos;
}

}  // namespace script

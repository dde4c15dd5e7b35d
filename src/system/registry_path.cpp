#include "system/registry_path.h"

namespace system_commands {

HKEY RootKey(script::RegistryRoot root) {
  switch (root) {
    case script::RegistryRoot::kUsers:
      return HKEY_USERS;
    case script::RegistryRoot::kCurrentUser:
      return HKEY_CURRENT_USER;
    case script::RegistryRoot::kLocalMachine:
      break;
  }
  return HKEY_LOCAL_MACHINE;
}

}  // namespace system_commands

#include "shell/run/command_handlers.h"

#if defined(_WIN32)
#include "install/handlers.h"
#include "system/handlers.h"
#endif

namespace shell {

std::vector<script::HandlerList> CommandHandlerLists() {
  std::vector<script::HandlerList> lists = script::ScriptHandlerLists();
#if defined(_WIN32)
  for (const script::HandlerList list :
       {install::InstallCommandHandlers(), install::MoveCommandHandlers(),
        install::FileCommandHandlers(), install::FolderCommandHandlers(),
        system_commands::RegistryCommandHandlers(), system_commands::ScannerSettingsHandlers(),
        system_commands::IniCommandHandlers(), system_commands::QueryCommandHandlers(),
        system_commands::ApplicationCommandHandlers(), system_commands::ConsoleCommandHandlers(),
        system_commands::TrayMonitorCommandHandlers(), system_commands::PluginCommandHandlers(),
        system_commands::RegisterCommandHandlers(), system_commands::ProductCommandHandlers(),
        system_commands::ServiceCommandHandlers()}) {
    lists.push_back(list);
  }
#endif
  return lists;
}

const script::HandlerTable& CommandHandlers() {
  static const script::HandlerTable table(CommandHandlerLists());
  return table;
}

}  // namespace shell

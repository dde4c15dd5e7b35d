#pragma once

#include "script/handler_table.h"

// The script commands of the system subsystem, one list per group; the Windows build adds them to
// the handler table.
namespace system_commands {

// FINDREGKEY, GETREGVALUE, SETREGVALUE, CREATEREGKEY, FINDREGVALUE, DELETEREGKEY,
// DELETEREGVALUE.
script::HandlerList RegistryCommandHandlers();

// CONFIGURESETTINGS.
script::HandlerList ScannerSettingsHandlers();

// GETINIFILEVALUE and SETINIFILEVALUE, which read and write a product's INI file through the
// system's profile calls, and FINDINIFILEVALUE, which asks the installer's own reader. None of
// them takes a variable's value for the file, section or key.
script::HandlerList IniCommandHandlers();

// The commands that ask the system where its folders are, which platform and processor it runs
// on and where the sibling command-line scanner is installed, each into the variable its argument
// names; and WAITFORTIME, which pauses. None of them changes the system.
script::HandlerList QueryCommandHandlers();

// CLOSEORQAPPS and STARTORQAPPS, which close and start the products' applications, and
// ISAPPRUNNING, which asks for an application's window.
script::HandlerList ApplicationCommandHandlers();

// TERMINATEDAVRIX, which ends the products' console processes.
script::HandlerList ConsoleCommandHandlers();

// ISTRAYMONRUNNING and CLOSETRAYMON, through the tray monitor's close event.
script::HandlerList TrayMonitorCommandHandlers();

// LOADPLUGIN and UNLOADPLUGIN, which hand a plug-in to the management agent's library.
script::HandlerList PluginCommandHandlers();

// REGISTER, which has the system's registration tool register a COM library.
script::HandlerList RegisterCommandHandlers();

// LOADMODULE and UNLOADMODULE, and GETPRODUCTINFO, SETPRODUCTINFO and NOTIFYPRODUCT, which do
// nothing.
script::HandlerList ProductCommandHandlers();

// STOPORQSERVICES, STARTORQSERVICES, DISABLEORQSERVICES and ENABLEORQSERVICES, which act on a
// list of services through the service manager, and ISSERVICERUNNING. All of them do nothing on
// the 9x family, which has no services.
script::HandlerList ServiceCommandHandlers();

}  // namespace system_commands

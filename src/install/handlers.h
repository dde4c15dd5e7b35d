#pragma once

#include "script/handler_table.h"

// The script commands of file installation, one list per group; the Windows build adds them to
// the handler table.
namespace install {

// SETWORKDIR, INSTALLFILES, FILE, COPYFILEAS, REPLACEFILE, REPLACEFILEAS.
script::HandlerList InstallCommandHandlers();
// SETBACKUPDIR, MOVEFILES, RENAMEFILE.
script::HandlerList MoveCommandHandlers();
// DELETEFILE, FILEEXISTS, ISCURRENTFILEOLDER, ISFILELOCKED, WAITTILLUNLOCKED,
// CANALLFILESBECOPIED, GETFILEVERSION, GET4XDATVERSION, EXTRACTFILESET, CLONESELF.
script::HandlerList FileCommandHandlers();
// DELETEDIRECTORY.
script::HandlerList FolderCommandHandlers();

}  // namespace install

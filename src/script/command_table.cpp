#include "script/command_table.h"

#include <algorithm>
#include <array>

namespace script {
namespace {

constexpr std::array<CommandKeyword, 70> kCommands = {{
    {"CALL", opcode::kCall},
    {"CONTINUEIF", opcode::kContinueIf},
    {"DELETEFILE", opcode::kDeleteFile},
    {"INSTALLFILES", opcode::kInstallFiles},
    {"FINDREGKEY", opcode::kFindRegKey},
    {"GETREGVALUE", opcode::kGetRegValue},
    {"SETREGVALUE", opcode::kSetRegValue},
    {"SETWORKDIR", opcode::kSetWorkDir},
    {"GETINIFILEVALUE", opcode::kGetIniFileValue},
    {"SETINIFILEVALUE", opcode::kSetIniFileValue},
    {"RETURN", opcode::kReturn},
    {"FILE", opcode::kFile},
    {"SET", opcode::kSet},
    {"GETSYSTEMDIR", opcode::kGetSystemDir},
    {"GETDRIVERDIR", opcode::kGetDriverDir},
    {"GETORQINIPATH", opcode::kGetOrqIniPath},
    {"GETSCANUTILSPATH", opcode::kGetScanUtilsPath},
    {"GET4XDATVERSION", opcode::kGet4xDatVersion},
    {"GETFILEVERSION", opcode::kGetFileVersion},
    {"COPYFILEAS", opcode::kCopyFileAs},
    {"CLOSEORQAPPS", opcode::kCloseOrqApps},
    {"STARTORQAPPS", opcode::kStartOrqApps},
    {"STOPORQSERVICES", opcode::kStopOrqServices},
    {"STARTORQSERVICES", opcode::kStartOrqServices},
    {"DISABLEORQSERVICES", opcode::kDisableOrqServices},
    {"ENABLEORQSERVICES", opcode::kEnableOrqServices},
    {"CANALLFILESBECOPIED", opcode::kCanAllFilesBeCopied},
    {"SETFINALSTATUSFLAG", opcode::kSetFinalStatusFlag},
    {"REPORTSTATUS", opcode::kReportStatus},
    {"ISFORCESWITCHSET", opcode::kIsForceSwitchSet},
    {"SETBACKUPDIR", opcode::kSetBackupDir},
    {"MOVEFILES", opcode::kMoveFiles},
    {"CREATEREGKEY", opcode::kCreateRegKey},
    {"FINDREGVALUE", opcode::kFindRegValue},
    {"ISAPPRUNNING", opcode::kIsAppRunning},
    {"ISSERVICERUNNING", opcode::kIsServiceRunning},
    {"GETOSTYPE", opcode::kGetOsType},
    {"GETWINDOWSDIR", opcode::kGetWindowsDir},
    {"NAMESTRIPFILE", opcode::kNameStripFile},
    {"FILEEXISTS", opcode::kFileExists},
    {"EXTRACTFILESET", opcode::kExtractFileSet},
    {"ISCURRENTFILEOLDER", opcode::kIsCurrentFileOlder},
    {"FINDINIFILEVALUE", opcode::kFindIniFileValue},
    {"INCLUDEGLOBALS", opcode::kIncludeGlobals},
    {"ISFILELOCKED", opcode::kIsFileLocked},
    {"GETPROCESSORTYPE", opcode::kGetProcessorType},
    {"WAITFORTIME", opcode::kWaitForTime},
    {"WAITTILLUNLOCKED", opcode::kWaitTillUnlocked},
    {"NAMEAPPENDFILE", opcode::kNameAppendFile},
    {"ISVALIDFILTER", opcode::kIsValidFilter},
    {"DELETEREGKEY", opcode::kDeleteRegKey},
    {"DELETEREGVALUE", opcode::kDeleteRegValue},
    {"DELETEDIRECTORY", opcode::kDeleteDirectory},
    {"LOADMODULE", opcode::kLoadModule},
    {"UNLOADMODULE", opcode::kUnloadModule},
    {"GETPRODUCTINFO", opcode::kGetProductInfo},
    {"SETPRODUCTINFO", opcode::kSetProductInfo},
    {"NOTIFYPRODUCT", opcode::kNotifyProduct},
    {"RENAMEFILE", opcode::kRenameFile},
    {"REGISTER", opcode::kRegister},
    {"ISTRAYMONRUNNING", opcode::kIsTrayMonRunning},
    {"CLOSETRAYMON", opcode::kCloseTrayMon},
    {"LOADPLUGIN", opcode::kLoadPlugin},
    {"UNLOADPLUGIN", opcode::kUnloadPlugin},
    {"REPLACEFILE", opcode::kReplaceFile},
    {"REPLACEFILEAS", opcode::kReplaceFileAs},
    {"CONFIGURESETTINGS", opcode::kConfigureSettings},
    {"STRINGAPPEND", opcode::kStringAppend},
    {"CLONESELF", opcode::kCloneSelf},
    {"TERMINATEDAVRIX", opcode::kTerminateDavrix},
}};

}  // namespace

std::span<const CommandKeyword> CommandTable() {
  return kCommands;
}

std::optional<Opcode> LookupKeyword(std::string_view keyword) {
  const auto found =
      std::find_if(kCommands.begin(), kCommands.end(),
                   [&](const CommandKeyword& entry) { return entry.keyword == keyword; });
  if (found == kCommands.end())
    return std::nullopt;
  return found->opcode;
}

std::string_view KeywordOf(Opcode opcode) {
  const auto found =
      std::find_if(kCommands.begin(), kCommands.end(),
                   [&](const CommandKeyword& entry) { return entry.opcode == opcode; });
  return found == kCommands.end() ? std::string_view() : found->keyword;
}

}  // namespace script

#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

// The script language's commands: every keyword with its fixed opcode. Keywords are matched after
// upper-casing; the opcodes are part of the language (INSTALLFILES relies on those of FILE and
// COPYFILEAS, the globals file on those of INCLUDEGLOBALS and SET).
namespace script {

using Opcode = std::uint32_t;

namespace opcode {
inline constexpr Opcode kCall = 0x01;
inline constexpr Opcode kContinueIf = 0x02;
inline constexpr Opcode kDeleteFile = 0x03;
inline constexpr Opcode kInstallFiles = 0x04;
inline constexpr Opcode kFindRegKey = 0x05;
inline constexpr Opcode kGetRegValue = 0x06;
inline constexpr Opcode kSetRegValue = 0x07;
inline constexpr Opcode kSetWorkDir = 0x08;
inline constexpr Opcode kGetIniFileValue = 0x09;
inline constexpr Opcode kSetIniFileValue = 0x0A;
inline constexpr Opcode kReturn = 0x0B;
inline constexpr Opcode kFile = 0x0C;
inline constexpr Opcode kSet = 0x0D;
inline constexpr Opcode kGetSystemDir = 0x0E;
inline constexpr Opcode kGetDriverDir = 0x0F;
inline constexpr Opcode kGetOrqIniPath = 0x10;
inline constexpr Opcode kGetScanUtilsPath = 0x11;
inline constexpr Opcode kGet4xDatVersion = 0x12;
inline constexpr Opcode kGetFileVersion = 0x13;
inline constexpr Opcode kCopyFileAs = 0x14;
inline constexpr Opcode kCloseOrqApps = 0x15;
inline constexpr Opcode kStartOrqApps = 0x16;
inline constexpr Opcode kStopOrqServices = 0x17;
inline constexpr Opcode kStartOrqServices = 0x18;
inline constexpr Opcode kDisableOrqServices = 0x19;
inline constexpr Opcode kEnableOrqServices = 0x1A;
inline constexpr Opcode kCanAllFilesBeCopied = 0x1B;
inline constexpr Opcode kSetFinalStatusFlag = 0x1C;
inline constexpr Opcode kReportStatus = 0x1E;
inline constexpr Opcode kIsForceSwitchSet = 0x1F;
inline constexpr Opcode kSetBackupDir = 0x20;
inline constexpr Opcode kMoveFiles = 0x21;
inline constexpr Opcode kCreateRegKey = 0x22;
inline constexpr Opcode kFindRegValue = 0x23;
inline constexpr Opcode kIsAppRunning = 0x24;
inline constexpr Opcode kIsServiceRunning = 0x25;
inline constexpr Opcode kGetOsType = 0x26;
inline constexpr Opcode kGetWindowsDir = 0x27;
inline constexpr Opcode kNameStripFile = 0x28;
inline constexpr Opcode kFileExists = 0x29;
inline constexpr Opcode kExtractFileSet = 0x2A;
inline constexpr Opcode kIsCurrentFileOlder = 0x2B;
inline constexpr Opcode kFindIniFileValue = 0x2C;
inline constexpr Opcode kIncludeGlobals = 0x2D;
inline constexpr Opcode kIsFileLocked = 0x2E;
inline constexpr Opcode kGetProcessorType = 0x2F;
inline constexpr Opcode kWaitForTime = 0x30;
inline constexpr Opcode kWaitTillUnlocked = 0x31;
inline constexpr Opcode kNameAppendFile = 0x32;
inline constexpr Opcode kIsValidFilter = 0x33;
inline constexpr Opcode kDeleteRegKey = 0x34;
inline constexpr Opcode kDeleteRegValue = 0x35;
inline constexpr Opcode kDeleteDirectory = 0x36;
inline constexpr Opcode kLoadModule = 0x37;
inline constexpr Opcode kUnloadModule = 0x38;
inline constexpr Opcode kGetProductInfo = 0x39;
inline constexpr Opcode kSetProductInfo = 0x3A;
inline constexpr Opcode kNotifyProduct = 0x3B;
inline constexpr Opcode kRenameFile = 0x3C;
inline constexpr Opcode kRegister = 0x3D;
inline constexpr Opcode kIsTrayMonRunning = 0x3E;
inline constexpr Opcode kCloseTrayMon = 0x3F;
inline constexpr Opcode kLoadPlugin = 0x40;
inline constexpr Opcode kUnloadPlugin = 0x41;
inline constexpr Opcode kReplaceFile = 0x42;
inline constexpr Opcode kReplaceFileAs = 0x43;
inline constexpr Opcode kConfigureSettings = 0x44;
inline constexpr Opcode kStringAppend = 0x46;
inline constexpr Opcode kCloneSelf = 0x47;
inline constexpr Opcode kTerminateDavrix = 0x48;
}  // namespace opcode

struct CommandKeyword {
  std::string_view keyword;
  Opcode opcode;
};

// The one command table, in opcode order.
std::span<const CommandKeyword> CommandTable();

// The opcode of an upper-case keyword; none when the language has no such command.
std::optional<Opcode> LookupKeyword(std::string_view keyword);

// The keyword of an opcode; empty for a number that no command has.
std::string_view KeywordOf(Opcode opcode);

}  // namespace script

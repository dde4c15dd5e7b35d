#pragma once

#include <cstdint>

// Run status codes: 0 is success; every other value has its row in the status catalogue.
using Status = std::int32_t;

namespace status {
inline constexpr Status kOk = 0;
inline constexpr Status kNoMemory = 1;
inline constexpr Status kUnknownCommand = 2;
inline constexpr Status kLineTooLong = 3;
inline constexpr Status kSectionNotFound = 4;
// INSTALLFILES ran a section holding a command other than FILE or COPYFILEAS.
inline constexpr Status kNotFileCommand = 5;
// The work folder (or the extract-only target) cannot be made or used.
inline constexpr Status kWorkDirFailed = 6;
inline constexpr Status kMainNotFound = 7;
inline constexpr Status kEmptyFile = 8;
inline constexpr Status kOpenFailed = 9;
// A file named by DELETEFILE cannot be deleted (a command's secondary status there), or
// DELETEDIRECTORY named a folder of the system, which it refuses.
inline constexpr Status kDeleteFailed = 10;
inline constexpr Status kReadFailed = 11;
inline constexpr Status kWriteFailed = 12;
// The package directory holds no record of the named file.
inline constexpr Status kNoDirectoryRecord = 13;
// A product's registry key cannot be opened.
inline constexpr Status kRegistryKeyFailed = 14;
// A registry value cannot be read (missing, or longer than its buffer), or written.
inline constexpr Status kRegistryReadFailed = 15;
inline constexpr Status kRegistryWriteFailed = 16;
// "Invalid registry value": a registry value of a type that is not read as text; GETOSTYPE fails
// with it when the system's version cannot be read.
inline constexpr Status kInvalidValue = 17;
// GETINIFILEVALUE finds no INI file of that name (SETINIFILEVALUE notes it as a secondary status).
inline constexpr Status kIniFileNotFound = 18;
// A registry path whose root is none of HKLM, HKCU, HKLU.
inline constexpr Status kNoRegistryRoot = 20;
// A value asked for is missing or empty; a registry command's argument lacks its value name ("="
// missing), or its subkey ("," missing).
inline constexpr Status kValueNotFound = 21;
inline constexpr Status kSubkeyNotFound = 22;
// The splitting operations of argument texts report a missing or over-long part with these.
inline constexpr Status kNowhereToPutValue = 23;
inline constexpr Status kNowhereToGetValue = 24;
inline constexpr Status kNoValueToSet = 25;
inline constexpr Status kNoSecondPart = 26;
inline constexpr Status kNoFirstPart = 27;
inline constexpr Status kSymbolNotFound = 28;
inline constexpr Status kExtractFailed = 29;
inline constexpr Status kTempFileFailed = 30;
inline constexpr Status kPackageOpenFailed = 31;
inline constexpr Status kBadPackage = 32;
// No run finished: a second instance, or the run never started.
inline constexpr Status kNoRun = 33;
inline constexpr Status kInstallerOpenFailed = 34;
// A backup cannot be made: the backup folder or file cannot be created, or the file not read.
inline constexpr Status kBackupFailed = 35;
// The system does not say where its system directory is.
inline constexpr Status kNoSystemDirectory = 36;
// A RETURN condition without left operand or operator, or with an over-long operand.
inline constexpr Status kBadReturn = 37;
// GETORQINIPATH: the console's INI file is never located.
inline constexpr Status kNoConsoleIniPath = 38;
// A file's version cannot be read.
inline constexpr Status kNoVersion = 40;
inline constexpr Status kSignatureFailed = 42;
// The outcomes a script announces through the final-status word.
inline constexpr Status kProductMissing = 43;
inline constexpr Status kAlreadyInstalled = 44;
// The user lacks the rights to schedule a replacement at restart.
inline constexpr Status kNoRights = 45;
inline constexpr Status kRegistryCreateFailed = 46;
// The system does not say where the Windows directory is.
inline constexpr Status kNoWindowsDirectory = 47;
inline constexpr Status kLatestDats = 49;
inline constexpr Status kLatestEngine = 50;
inline constexpr Status kBadCommandLine = 51;
inline constexpr Status kNtOnly = 60;
// The text of a DWORD to write: not hexadecimal after "0x", not decimal, or past 32 bits.
inline constexpr Status kBadHexNumber = 63;
inline constexpr Status kBadDecimalNumber = 64;
inline constexpr Status kNumberOutOfRange = 65;
inline constexpr Status kUpdateRejected = 66;
// The entry's own code: the language library cannot be loaded (never in the catalogue).
inline constexpr Status kLanguageLibraryFailed = 67;
}  // namespace status

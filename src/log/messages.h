#pragma once

#include <cstdint>

// The number of a string in the language library's string table. Every library carries the same
// ids; the comments give the English texts.
using MessageId = std::uint16_t;

namespace message {
inline constexpr MessageId kTitle = 1;                // "... Installer" (windows, wizard)
inline constexpr MessageId kDeleting = 11;            // "Deleting...%s"
inline constexpr MessageId kVerifyingSettings = 12;   // "Verifying settings to proceed."
inline constexpr MessageId kInstallingModule = 13;    // "Installing the Sentrel Module..."
inline constexpr MessageId kExtractingFromStub = 14;  // "Extracting Zip file from stub file, %s."
inline constexpr MessageId kRemovingTemporary = 16;   // "Removing temporary files."
inline constexpr MessageId kDeleteFailed = 27;        // "Unable to delete file."
inline constexpr MessageId kRegKeyOpenFailed = 31;    // "Can't open the specified registry key..."
inline constexpr MessageId kLogFileName = 53;         // "KPTInst.log"
inline constexpr MessageId kBoxCaption = 54;          // "Sentrel Module Installer Notification"
inline constexpr MessageId kInvalidLogPath = 55;     // "Invalid log file path ... %s will be used."
inline constexpr MessageId kUpdateSucceeded = 56;    // "Update process is successful."
inline constexpr MessageId kUpdateFailed = 57;       // "Update process failed."
inline constexpr MessageId kSearchingProducts = 58;  // "Searching for all Installed ..."
inline constexpr MessageId kBackingUp = 59;          // "Backing up file into %s"
inline constexpr MessageId kReplacingFile = 60;      // "Replacing file...%s"
inline constexpr MessageId kLoadingScript = 61;      // "Loading and parsing script file : %s"
inline constexpr MessageId kRestarting = 64;         // "Restarting Windows..."
inline constexpr MessageId kRestartFailed = 65;      // "Unable to restart Windows."
inline constexpr MessageId kShutdownNotice = 66;     // "Some files will be updated on reboot. ..."
inline constexpr MessageId kRestartPrompt = 71;      // "... Please press OK to restart Windows."
inline constexpr MessageId kSignatureFailed = 72;    // "Unable to verify the ZIP File. ..."
inline constexpr MessageId kSelfValidation = 73;     // "Performing self validation ..."
inline constexpr MessageId kUncompressingFile = 74;  // "Uncompressing the file...%s."
inline constexpr MessageId kClosingApplication = 75;     // "Closing application...%s."
inline constexpr MessageId kStartingApplication = 76;    // "Starting application...%s."
inline constexpr MessageId kStoppingService = 77;        // "Stopping service...%s."
inline constexpr MessageId kStartingService = 78;        // "Starting service...%s."
inline constexpr MessageId kReplacedOnReboot = 81;       // "File %s will be replaced on reboot."
inline constexpr MessageId kRetrievingFile = 83;         // "Retrieving file, %s from zip file."
inline constexpr MessageId kEnablingService = 84;        // "Enabling service...%s."
inline constexpr MessageId kDisablingService = 85;       // "Disabling service...%s."
inline constexpr MessageId kExtractingAll = 93;          // "Uncompressing all files into %s"
inline constexpr MessageId kExtractionSucceeded = 94;    // "Zip file extraction is successful."
inline constexpr MessageId kServiceStopFailed = 99;      // "Unable to stop %s service."
inline constexpr MessageId kServiceDisableFailed = 100;  // "Unable to disable %s service."
inline constexpr MessageId kExtractionFailed = 101;      // "Zip file extraction is failed."
inline constexpr MessageId kLoadingGlobals = 106;        // "Loading and parsing globals file : %s"
inline constexpr MessageId kNoRightsToUpdate = 107;      // "Not enough rights to update file : %s"
inline constexpr MessageId kViewLog = 109;               // "View Log"
inline constexpr MessageId kRegValueDeleteFailed = 115;  // "Unable to  delete registry value."
inline constexpr MessageId kRegKeyDeleteFailed = 116;    // "Unable to delete registry key."
inline constexpr MessageId kFolderDeleteFailed = 117;    // "Error deleting directory."
// The installer's own addition: sections that call each other without end.
inline constexpr MessageId kSectionsNestedTooDeep =
    150;  // "Sections call each other too deeply; stopped at section %s."
// The installer's own addition: a backup that an interrupted run made holds the version from
// before that update, and is kept.
inline constexpr MessageId kKeptEarlierBackup =
    160;  // "Kept the backup %s: it holds the file from before an update that was interrupted."
// The installer's own addition: a destination that names a device (CON, NUL, COM1, ...).
inline constexpr MessageId kDeviceNotFile = 161;  // "%s names a device, not a file."
// The installer's own addition: DELETEDIRECTORY named a folder of the system.
inline constexpr MessageId kSystemFolderRefused =
    162;  // "%s is a folder of the system: it is not removed."
// The installer's own addition: the one line every failed script command leaves.
inline constexpr MessageId kCommandFailed = 163;  // "Script command failed: %s"
// The installer's own addition: WAITFORTIME asked for longer than the longest wait.
inline constexpr MessageId kWaitCut = 164;  // "A wait of %s ms is cut to 5 minutes."
}  // namespace message

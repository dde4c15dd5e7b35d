#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "log/error_boxes.h"
#include "log/log_writer.h"
#include "log/message_source.h"

namespace logging {

// What the shell knows when it sets up the log.
struct LogSetUp {
  // LOGFILE or SETUP.ISS szLogFile; none when neither gave one.
  std::optional<std::string> explicit_path;
  // The user's temporary directory; empty when the system does not know it.
  std::string temp_directory;
  // The installer's own file; the log falls back to its folder.
  std::string installer_path;
  bool silent = false;
};

// The install log: where it is and how a line gets into it. The path is chosen once at start;
// until then lines go to "install.log" in the current folder.
class InstallLog {
 public:
  InstallLog() = default;
  explicit InstallLog(std::string path) : path_(std::move(path)) {}

  // The log path, at most 259 characters.
  const std::string& path() const { return path_; }

  // Chooses the path: the file named by message 53 in "VelkorLogs" of the temporary directory
  // (created now), else beside the installer; then the explicit path when its file exists or can
  // be created. An unusable explicit path keeps the default and says so with message 55: in a
  // box, or in silent mode in the default log.
  void SetUpInstallLog(const LogSetUp& setup, const MessageSource& messages, ErrorBoxes& boxes);

  // Writes one line with the date, time, user and computer in front of text. A line that cannot
  // be written is lost; the run goes on.
  void LogText(std::string_view text) const;

  // While a run writes many lines, the log file stays open between them (see LogFile).
  void KeepOpen(bool keep) const { file_.KeepOpen(keep); }

 private:
  void UsePath(std::string path);

  std::string path_ = "install.log";
  // The chosen log file's short form, looked up once set-up has made the file; until then each
  // line looks it up.
  std::string short_path_;
  // Writing a line changes no more of the log's state than the file it may hold open.
  mutable LogFile file_;
};

// Keeps the install log open between lines for as long as it lives.
class KeptOpenLog {
 public:
  explicit KeptOpenLog(const InstallLog& log) : log_(log) { log_.KeepOpen(true); }
  ~KeptOpenLog() { log_.KeepOpen(false); }
  KeptOpenLog(const KeptOpenLog&) = delete;
  KeptOpenLog& operator=(const KeptOpenLog&) = delete;

 private:
  const InstallLog& log_;
};

}  // namespace logging

#include "log/install_log.h"

#include "base/path.h"
#include "log/folder_chain.h"
#include "log/log_line.h"
#include "log/log_writer.h"
#include "log/message_format.h"
#include "log/messages.h"
#include "platform/filesystem.h"

namespace logging {
namespace {

constexpr std::size_t kCapacity = base::kPathCapacity;

}  // namespace

void InstallLog::SetUpInstallLog(const LogSetUp& setup, const MessageSource& messages,
                                 ErrorBoxes& boxes) {
  const std::string file_name = messages.Message(message::kLogFileName, kCapacity);
  path_.clear();
  if (!setup.temp_directory.empty()) {
    path_ = setup.temp_directory.substr(0, kCapacity - 1);
    base::JoinPath(path_, kCapacity, "VelkorLogs");
    base::JoinPath(path_, kCapacity, file_name);
    if (!EnsureFileCreatable(path_))
      path_.clear();
  }
  if (path_.empty()) {
    path_ = setup.installer_path.substr(0, kCapacity - 1);
    base::StripFileName(path_);
    base::JoinPath(path_, kCapacity, file_name);
  }
  UsePath(path_);
  if (!setup.explicit_path)
    return;

  const std::string requested = setup.explicit_path->substr(0, kCapacity - 1);
  if (!requested.empty() && EnsureFileCreatable(requested)) {
    UsePath(requested);
    return;
  }
  const std::string text =
      FormatMessageText(messages.Message(message::kInvalidLogPath, kCapacity), path_, kCapacity);
  if (setup.silent)
    LogText(text);
  else
    boxes.Show(text, messages.Message(message::kBoxCaption, kCapacity));
}

void InstallLog::UsePath(std::string path) {
  path_ = std::move(path);
  short_path_ = platform::IsFile(path_) ? LogShortPath(path_) : std::string();
}

void InstallLog::LogText(std::string_view text) const {
  const std::string line = BuildLogLine(CurrentLogLineFields(), text);
  if (!line.empty())
    file_.Append(path_, short_path_, line);
}

}  // namespace logging

#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "log/reporter.h"

namespace test_support {

// Keeps every report in order, for tests of code that reports but not of the log itself.
class RecordingReporter : public Reporter {
 public:
  struct Report {
    enum Kind { kProgress, kLog, kText } kind;
    MessageId id;  // 0 for kText
    std::string text;
    bool operator==(const Report&) const = default;
    // How a failing expectation shows a report.
    friend void PrintTo(const Report& report, std::ostream* out) {
      *out << "{" << report.kind << ", " << report.id << ", \"" << report.text << "\"}";
    }
  };

  void ReportProgress(MessageId id, std::string_view argument) override {
    reports.push_back({Report::kProgress, id, std::string(argument)});
  }
  void LogMessage(MessageId id, std::string_view argument) override {
    reports.push_back({Report::kLog, id, std::string(argument)});
  }
  void LogText(std::string_view text) override {
    reports.push_back({Report::kText, 0, std::string(text)});
  }

  std::vector<Report> reports;
};

}  // namespace test_support

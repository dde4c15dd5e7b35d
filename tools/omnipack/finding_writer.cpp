#include "finding_writer.h"

#include <algorithm>

#include "json_writer.h"

namespace omnipack {
namespace {

std::string_view SeverityName(Severity severity) {
  return severity == Severity::kError ? "error" : "warning";
}

std::size_t CountOf(const std::vector<Finding>& findings, Severity severity) {
  return static_cast<std::size_t>(
      std::count_if(findings.begin(), findings.end(),
                    [severity](const Finding& finding) { return finding.severity == severity; }));
}

std::string Counted(std::size_t count, std::string_view noun) {
  return std::to_string(count) + " " + std::string(noun) + (count == 1 ? "" : "s");
}

}  // namespace

std::string FindingLine(const Finding& finding) {
  std::string line = finding.file + ":" + std::to_string(finding.line) + ": " +
                     std::string(SeverityName(finding.severity)) + ": " + finding.text;
  if (finding.status != status::kOk)
    line += " (status " + std::to_string(finding.status) + ")";
  return line;
}

std::string FindingsSummary(const std::vector<Finding>& findings) {
  return Counted(CountOf(findings, Severity::kError), "error") + ", " +
         Counted(CountOf(findings, Severity::kWarning), "warning");
}

bool HasErrors(const std::vector<Finding>& findings) {
  return CountOf(findings, Severity::kError) > 0;
}

void WriteFindings(std::ostream& out, const std::vector<Finding>& findings) {
  for (const Finding& finding : findings)
    out << FindingLine(finding) << '\n';
  out << FindingsSummary(findings) << '\n';
}

std::string FindingsJson(const std::string& script, const std::vector<Finding>& findings) {
  JsonWriter json;
  json.BeginObject().Key("script").String(script);
  json.Key("errors").Number(CountOf(findings, Severity::kError));
  json.Key("warnings").Number(CountOf(findings, Severity::kWarning));
  json.Key("findings").BeginArray();
  for (const Finding& finding : findings) {
    json.BeginObject().Key("file").String(finding.file);
    json.Key("line").Number(static_cast<std::uint64_t>(finding.line));
    json.Key("severity").String(SeverityName(finding.severity));
    json.Key("text").String(finding.text);
    json.Key("status").Number(static_cast<std::uint64_t>(finding.status));
    json.EndObject();
  }
  json.EndArray().EndObject();
  return json.text();
}

}  // namespace omnipack

#include "platform/ui/ErrorReport.h"

#include <cstdio>
#include <string_view>

#include "storage/ErrorRecord.h"
#include "storage/ModuleRegistry.h"

namespace lockwell {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

std::string_view FileName(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string_view(path) : std::string_view(path).substr(slash + 1);
}

}  // namespace

const char* ErrorReport::SeverityWord(uint32_t code) {
  if (code & SEVERITY_ERROR) return " (Error)";
  if (code & SEVERITY_WARNING) return " (Warning)";
  if (code & SEVERITY_INFORMATIONAL) return " (Informational)";
  return "";
}

SecureString ErrorReport::Build(const ErrorList& list) {
  SecureString report;
  for (const auto& record : list) {
    char number[16];
    report += "Module: ";
    report += ModuleName(record->ModuleId());
    report += kLineEnd;

    std::snprintf(number, sizeof number, "%08X", static_cast<unsigned>(record->Code()));
    report += "Error Code: ";
    report += number;
    report += SeverityWord(record->Code());
    report += kLineEnd;

    if (record->Line() != 0) {
      report += "Source File: ";
      report += FileName(record->SourceFile());
      report += kLineEnd;
      std::snprintf(number, sizeof number, "%lu", static_cast<unsigned long>(record->Line()));
      report += "Line Number: ";
      report += number;
      report += kLineEnd;
    }

    report += "Error Detail: ";
    report += record->Detail();
    report += kLineEnd;
    report += kLineEnd;
  }
  return report;
}

}  // namespace lockwell

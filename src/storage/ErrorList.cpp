#include "storage/ErrorList.h"

#include <utility>

namespace lockwell {

void ErrorList::Append(std::unique_ptr<ErrorRecord> record) { records_.push_back(std::move(record)); }

void ErrorList::Append(int32_t moduleId, uint32_t code, std::string detail) {
  Append(std::make_unique<ErrorRecord>(moduleId, code, std::move(detail)));
}

bool ErrorList::HasErrors() const {
  for (const auto& record : records_)
    if (record->Code() & SEVERITY_ERROR) return true;
  return false;
}

bool ErrorList::IsWarning() const {
  for (const auto& record : records_) {
    if (record->Code() & SEVERITY_ERROR) return false;
    if (record->Code() & SEVERITY_WARNING) return true;
  }
  return false;
}

bool ErrorList::IsInformational() const {
  for (const auto& record : records_) {
    if (record->Code() & (SEVERITY_ERROR | SEVERITY_WARNING)) return false;
    if (record->Code() & SEVERITY_INFORMATIONAL) return true;
  }
  return false;
}

bool ErrorList::Contains(int32_t moduleId, uint32_t code) const {
  for (const auto& record : records_)
    if (record->ModuleId() == moduleId && record->Code() == code) return true;
  return false;
}

std::string ErrorList::Summary() const {
  std::string summary;
  for (auto it = records_.begin(); it != records_.end(); ++it) {
    if (it != records_.begin()) summary += " (";
    summary += (*it)->Detail();
  }
  if (records_.size() > 1) summary.append(records_.size() - 1, ')');
  return summary;
}

}  // namespace lockwell

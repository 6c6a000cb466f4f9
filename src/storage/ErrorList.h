// The ordered list of failures of one user action.
//
// Every fallible operation of the storage and vault layers takes the caller's
// list first, appends one record when it fails and returns false.  A caller
// may append its own explanation after the record of the layer below, so the
// list reads from the lowest layer upward.  The list owns its records.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <string>

#include "storage/ErrorRecord.h"

namespace lockwell {

class ErrorList {
 public:
  using Records = std::list<std::unique_ptr<ErrorRecord>>;

  ErrorList() = default;
  virtual ~ErrorList() = default;
  ErrorList(const ErrorList&) = delete;
  ErrorList& operator=(const ErrorList&) = delete;

  void Append(std::unique_ptr<ErrorRecord> record);
  // Shorthand for the common case: line 0 and no source file.
  void Append(int32_t moduleId, uint32_t code, std::string detail);
  void Clear() { records_.clear(); }

  // True if any record has the error bit (31).
  bool HasErrors() const;
  // True when a warning record comes before any error record.
  bool IsWarning() const;
  // True when an informational record comes before any error or warning.
  bool IsInformational() const;
  bool Contains(int32_t moduleId, uint32_t code) const;
  // "A (B (C))" for three records with texts A, B and C; empty for none.
  std::string Summary() const;

  bool Empty() const { return records_.empty(); }
  size_t Size() const { return records_.size(); }
  Records::const_iterator begin() const { return records_.begin(); }
  Records::const_iterator end() const { return records_.end(); }

 private:
  Records records_;
};

}  // namespace lockwell

// One reported failure: which module reported it, a 32-bit code and a text.
//
// Code layout: bit 31 error, bit 30 warning, bit 29 informational; a class in
// bits 16-28 and a number in bits 0-15.  The same code means different things
// in different modules, so callers always test the pair (module id, code).
#pragma once

#include <cstdint>
#include <string>

namespace lockwell {

inline constexpr uint32_t SEVERITY_ERROR = 0x80000000u;
inline constexpr uint32_t SEVERITY_WARNING = 0x40000000u;
inline constexpr uint32_t SEVERITY_INFORMATIONAL = 0x20000000u;

class ErrorRecord {
 public:
  // `line` 0 means that no source position is recorded.
  ErrorRecord(int32_t moduleId, uint32_t code, std::string detail, uint32_t line = 0,
              std::string sourceFile = {});
  // Wipes the detail text: some texts (a record's digest error) carry
  // decrypted bytes.
  virtual ~ErrorRecord();

  ErrorRecord(const ErrorRecord&) = delete;
  ErrorRecord& operator=(const ErrorRecord&) = delete;

  int32_t ModuleId() const { return moduleId_; }
  uint32_t Code() const { return code_; }
  const std::string& Detail() const { return detail_; }
  uint32_t Line() const { return line_; }
  const std::string& SourceFile() const { return sourceFile_; }

 private:
  int32_t moduleId_;
  uint32_t code_;
  std::string detail_;
  uint32_t line_;
  std::string sourceFile_;
};

}  // namespace lockwell

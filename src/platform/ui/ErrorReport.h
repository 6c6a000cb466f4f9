// The detail report of the error dialog: one paragraph per error record.
//
// For each record, in list order (CR LF ends every line, as in the edit
// box of the original dialog):
//   "Module: " <module name>
//   "Error Code: " <code as %08X> <" (Error)" | " (Warning)" |
//                                  " (Informational)" | nothing>
//   "Source File: " <file part after the last '\' or '/'>   only when line != 0
//   "Line Number: " <line as %lu>                            only when line != 0
//   "Error Detail: " <detail>
//   <empty line>
// The texts stay in the database's 8-bit Windows-1252.  Details may carry
// decrypted bytes, so the report is built in a wiping string.
#pragma once

#include <cstdint>

#include "storage/ErrorList.h"
#include "storage/SecureString.h"

namespace lockwell {

class ErrorReport {
 public:
  static SecureString Build(const ErrorList& list);
  // " (Error)" when bit 31 is set, else " (Warning)" for bit 30, else
  // " (Informational)" for bit 29, else empty.
  static const char* SeverityWord(uint32_t code);
};

}  // namespace lockwell

// A hive as text in the registry-export format, and back.
//
// Grammar (one item per line; CR LF or LF line ends; ";" starts a comment):
//
//   file     := "REGEDIT4" { blank | comment | section | value }
//   section  := "[" HIVE-NAME { "\" key-name } "]"
//   value    := ( "@" | quoted-name ) "=" data
//   data     := quoted-text                      REG_SZ, the zero is implied
//             | "dword:" 1 to 8 hex digits      REG_DWORD
//             | "hex:" byte-list                REG_BINARY
//             | "hex(" hex-type "):" byte-list  any other type, kept opaque
//   byte-list:= [ hh { "," hh } ]   a line ending in "\" continues on the next
//   quoted   := '"' { byte | '\\' | '\"' } '"'
//
// A section names the hive of the file first; its parent keys exist even when
// they have no section of their own.  Text that a quoted string cannot carry
// (CR, LF, a zero inside, no terminating zero) is written as hex(1).  These
// files are read by people and by other programs: keep the format.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/HiveKey.h"
#include "platform/RegistryTypes.h"

namespace lockwell {

struct HiveParseError {
  size_t line = 0;  // 1-based line of the fault
  std::string reason;
};

// Fills `root` (which must be empty) from `text`; false with `error` set when
// the text is not a hive of `hive`.
bool ParseHiveText(std::string_view text, Hive hive, HiveKey& root, HiveParseError& error);
std::string FormatHiveText(Hive hive, const HiveKey& root);

}  // namespace lockwell

// Windows-1252 <-> UTF-8 for the command-line program.
//
// Text in the database is 8-bit Windows-1252; the terminal, arguments and
// exported files are UTF-8.  Every byte has a character, so output always
// converts.  Input that is not valid UTF-8, or a character Windows-1252 has
// no byte for, is refused (never dropped or replaced) with a sentence that
// names it.  The five bytes Windows-1252 leaves unassigned (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) map to the C1 control characters of the same number, so
// every byte string survives a round trip unchanged.
//
// Results go into wiping strings: what is converted is often a secret.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "storage/SecureString.h"

namespace lockwell {

class Cp1252Text {
 public:
  // The character of one byte.
  static char32_t ToUnicode(uint8_t byte);
  // The byte of one character; false when Windows-1252 has none.
  static bool FromUnicode(char32_t character, uint8_t& byte);

  // Appends the UTF-8 form of `bytes` to `out`.
  static void AppendUtf8(std::string_view bytes, SecureString& out);
  static SecureString ToUtf8(std::string_view bytes);

  // Converts UTF-8 `text` to Windows-1252.  On failure `out` is wiped and
  // empty, and `refusal` says which character (or byte) cannot be stored.
  static bool FromUtf8(std::string_view text, SecureString& out, std::string& refusal);
};

}  // namespace lockwell

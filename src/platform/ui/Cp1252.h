// Text conversion between the 8-bit Windows-1252 text of the database and
// the registry and the QString of the widgets.
//
// The conversion happens at the user-interface edge only.  Every byte has a
// character, so bytes always convert; a character with no byte is refused
// (never dropped or replaced) and the refusal names it, so the user can be
// told what to change.  The five bytes Windows-1252 leaves unassigned (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control characters of the same
// number, so every byte string survives a round trip unchanged.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include <QString>

#include "storage/SecureString.h"

namespace lockwell {

class Cp1252 {
 public:
  // The character of one byte.
  static char16_t ToUnicode(uint8_t byte);
  // The byte of one UTF-16 unit; false when Windows-1252 has none.
  static bool FromUnicode(char16_t unit, uint8_t& byte);

  static QString ToQString(std::string_view bytes);

  // Converts `text` to bytes.  On success `out` holds the bytes and
  // `refusal` is empty.  On failure `out` is empty (nothing of a partial
  // conversion is kept) and `refusal` is a sentence for the user naming the
  // first character that cannot be stored.
  static bool FromQString(const QString& text, std::string& out, QString& refusal);
  // The same for secrets: the bytes go straight into the wiping string, with
  // no ordinary std::string copy on the way.
  static bool FromQString(const QString& text, SecureString& out, QString& refusal);

  // The sentence used for a refused character (a whole code point, so a
  // character outside the basic plane is named once, not as two halves).
  static QString RefusalText(char32_t character);
};

}  // namespace lockwell

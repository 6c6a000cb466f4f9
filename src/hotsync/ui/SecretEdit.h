// Passphrase fields of this layer's dialogs: reading one into wiping bytes
// and emptying it so the characters it held are overwritten.
#pragma once

#include <QString>

#include "storage/SecureString.h"

class QLineEdit;

namespace lockwell {

class SecretEdit {
 public:
  // Reads the field (at most `maxChars` characters) into `out` as
  // Windows-1252 bytes; false with `refusal` set when a character cannot be
  // stored.
  static bool Read(const QLineEdit& edit, int maxChars, SecureString& out, QString& refusal);
  // Empties the field, overwriting the buffer that held its text.
  static void Wipe(QLineEdit& edit);
  // Overwrites the characters of `text` when nobody shares them, then
  // empties it.
  static void Wipe(QString& text);
};

}  // namespace lockwell

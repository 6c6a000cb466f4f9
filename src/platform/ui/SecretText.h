// Moving passphrases and account text between widgets and wiping strings.
//
// A widget's text is read straight into a SecureString, with no ordinary
// byte-string copy on the way.  When a dialog is done with a field, WipeEdit
// empties the widget and overwrites the characters it held, so a passphrase
// does not stay behind in freed memory.  Qt keeps copies of its own that
// no public call reaches (a line edit's undo steps, a text document's piece
// table): those are let go, not overwritten; every string of ours is.
#pragma once

#include <QString>

#include "storage/SecureString.h"

class QLineEdit;
class QPlainTextEdit;

namespace lockwell {

class SecretText {
 public:
  // Reads `text` (at most `maxChars` characters of it) into `out` as
  // Windows-1252 bytes.  False with `refusal` set and `out` emptied when a
  // character cannot be stored.
  static bool Read(const QString& text, SecureString& out, QString& refusal, int maxChars = -1);
  static bool Read(const QLineEdit& edit, SecureString& out, QString& refusal, int maxChars = -1);
  static bool Read(const QPlainTextEdit& edit, SecureString& out, QString& refusal, int maxChars = -1);

  // Overwrites every character of the block `text` holds (the text and
  // the room around it) when no other QString shares it; `text` keeps the
  // block, now all zero.
  static void Overwrite(QString& text);

  // Overwrites the characters of `text` when no other QString shares them,
  // then empties it.  A shared buffer is only let go (the other owner wipes
  // it).
  static void Wipe(QString& text);

  // Empties the widget and overwrites the buffer that held its text.
  static void WipeEdit(QLineEdit& edit);
  static void WipeEdit(QPlainTextEdit& edit);
};

}  // namespace lockwell

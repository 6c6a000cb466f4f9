#include "hotsync/ui/SecretEdit.h"

#include <QLineEdit>

#include "platform/ui/Cp1252.h"

namespace lockwell {

bool SecretEdit::Read(const QLineEdit& edit, int maxChars, SecureString& out, QString& refusal) {
  QString text = edit.text();
  if (text.size() > maxChars) text.truncate(maxChars);
  const bool ok = Cp1252::FromQString(text, out, refusal);
  Wipe(text);
  return ok;
}

void SecretEdit::Wipe(QLineEdit& edit) {
  QString text = edit.text();
  edit.clear();
  // The field let go of its buffer; this copy is now its only owner.
  Wipe(text);
}

void SecretEdit::Wipe(QString& text) {
  if (text.isDetached()) WipeBytes(text.data(), static_cast<size_t>(text.size()) * sizeof(QChar));
  text.clear();
}

}  // namespace lockwell

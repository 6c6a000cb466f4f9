#include "platform/ui/SecretText.h"

#include <QLineEdit>
#include <QPlainTextEdit>

#include "platform/ui/Cp1252.h"

namespace lockwell {

bool SecretText::Read(const QString& text, SecureString& out, QString& refusal, int maxChars) {
  out.wipe();
  if (maxChars < 0 || text.size() <= maxChars) return Cp1252::FromQString(text, out, refusal);
  // left() copies; that copy is ours alone, so it can be wiped.
  QString head = text.left(maxChars);
  const bool ok = Cp1252::FromQString(head, out, refusal);
  Wipe(head);
  return ok;
}

bool SecretText::Read(const QLineEdit& edit, SecureString& out, QString& refusal, int maxChars) {
  // Shares the widget's buffer; the widget wipes it in WipeEdit.
  const QString text = edit.text();
  return Read(text, out, refusal, maxChars);
}

bool SecretText::Read(const QPlainTextEdit& edit, SecureString& out, QString& refusal, int maxChars) {
  QString text = edit.toPlainText();  // a fresh copy built from the document
  const bool ok = Read(text, out, refusal, maxChars);
  Wipe(text);
  return ok;
}

void SecretText::Overwrite(QString& text) {
  if (text.isNull() || !text.isDetached()) return;
  // data() does not copy a buffer this string owns alone.  Erasing from
  // the front only moves the string's start forward, and capacity() counts
  // from the start of the block: the wipe starts there, so the characters
  // erased from the front are overwritten too and nothing past the block is.
  QChar* block = text.data() - text.data_ptr().freeSpaceAtBegin();
  WipeBytes(block, static_cast<size_t>(text.capacity()) * sizeof(QChar));
}

void SecretText::Wipe(QString& text) {
  Overwrite(text);
  text = QString();
}

void SecretText::WipeEdit(QLineEdit& edit) {
  QString held = edit.text();
  // After this the widget lets go of its buffer and `held` owns it alone.
  // No change is reported: whoever copies the text on each edit must keep
  // what it copied last.
  const bool blocked = edit.blockSignals(true);
  edit.setText(QString());
  edit.blockSignals(blocked);
  Wipe(held);
}

void SecretText::WipeEdit(QPlainTextEdit& edit) {
  // The document keeps its text in a piece table of its own that no public
  // call reaches; emptying it and its undo steps lets go of every piece.
  const bool blocked = edit.blockSignals(true);
  edit.clear();
  edit.document()->clearUndoRedoStacks();
  edit.blockSignals(blocked);
}

}  // namespace lockwell

#include "platform/ui/QtPrompter.h"

#include <QDialog>
#include <QMessageBox>

namespace lockwell {

Prompter::Answer QtPrompter::Message(QWidget* owner, const QString& caption, const QString& text,
                                     Buttons buttons) {
  QMessageBox box(owner);
  box.setIcon(QMessageBox::NoIcon);
  box.setWindowTitle(caption);
  box.setText(text);
  // Texts are plain: an account or category name must not be read as markup.
  box.setTextFormat(Qt::PlainText);
  if (buttons == Buttons::Ok) {
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return Answer::Ok;
  }
  box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
  box.setDefaultButton(QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

int QtPrompter::RunDialog(QDialog& dialog) { return dialog.exec(); }

}  // namespace lockwell

// Asks for the passphrase of a new PC database twice.
//
// OK is enabled exactly while both fields hold the same text; two empty
// fields count as equal, so a new database may have no passphrase.  There
// is no minimum length.  After OK, GetPassphrase gives the accepted text as
// Windows-1252 bytes; a character that cannot be stored is refused with a
// message and the dialog stays open.  Both fields are wiped when the dialog
// ends.
#pragma once

#include <QDialog>

#include "storage/SecureString.h"

class QLineEdit;
class QPushButton;

namespace lockwell {

class Prompter;

class NewPassphraseDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kPassphraseId = 1043;
  static constexpr int kConfirmId = 1044;
  static constexpr int kOkId = 1;
  static constexpr int kCancelId = 2;
  static constexpr int kMaxChars = 255;

  NewPassphraseDialog(Prompter& prompter, QWidget* owner);
  ~NewPassphraseDialog() override;

  const SecureString& GetPassphrase() const { return passphrase_; }

  void accept() override;
  void done(int result) override;

 private:
  void UpdateOkButton();

  Prompter& prompter_;
  SecureString passphrase_;
  QLineEdit* passphraseEdit_;
  QLineEdit* confirmEdit_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

}  // namespace lockwell

// The change-passphrase dialog: the current passphrase and the new one
// twice.
//
// OK is enabled exactly while the new passphrase and its confirmation are
// byte for byte equal (two empty fields are equal: an empty new passphrase
// removes the passphrase).  The dialog only collects; the command that runs
// it checks the current passphrase and changes the database.
//
//   SecureString current, fresh;
//   if (ChangePassphraseDialog::Ask(prompter, window, current, fresh)) ...
#pragma once

#include <QDialog>

#include "storage/SecureString.h"

class QLineEdit;
class QPushButton;

namespace lockwell {

class Prompter;

class ChangePassphraseDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kCurrentId = 1098;
  static constexpr int kNewId = 1003;
  static constexpr int kConfirmId = 1044;
  static constexpr int kOkId = 1;
  static constexpr int kCancelId = 2;
  static constexpr int kMaxPassphrase = 255;
  static constexpr const char* kCaption = "Change Passphrase";

  // Runs the dialog through `prompter`.  On OK the two passphrases replace
  // `current` and `newPassphrase` and the answer is true; on Cancel both
  // are left as they were.
  static bool Ask(Prompter& prompter, QWidget* owner, SecureString& current, SecureString& newPassphrase);

  ChangePassphraseDialog(Prompter& prompter, QWidget* owner);
  ~ChangePassphraseDialog() override;

  // After OK: hands both passphrases over (the dialog's copies are wiped).
  void TakePassphrases(SecureString& current, SecureString& newPassphrase);

  void accept() override;
  void done(int result) override;

 private:
  void OnEdited();
  void WipeState();

  Prompter& prompter_;
  SecureString current_;
  SecureString new_;
  SecureString confirm_;
  QLineEdit* currentEdit_;
  QLineEdit* newEdit_;
  QLineEdit* confirmEdit_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

}  // namespace lockwell

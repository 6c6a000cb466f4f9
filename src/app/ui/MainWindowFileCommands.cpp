// File and Help commands of the main window that are not about the
// window's state: Change Passphrase, Help > Index and the About box.
// (Open, Close, Lock and Quit live in MainWindowDatabase.cpp.)
#include <QDesktopServices>

#include "app/ui/AboutDialog.h"
#include "app/ui/HelpIndex.h"
#include "app/ui/MainWindow.h"
#include "hotsync/ui/PleaseWaitWindow.h"
#include "platform/ui/ErrorDialog.h"
#include "platform/ui/Prompter.h"
#include "storage/ErrorList.h"
#include "storage/SecureString.h"
#include "vault/LockwellDatabase.h"
#include "vault/ui/ChangePassphraseDialog.h"

namespace lockwell {

void MainWindow::ChangePassphrase() {
  if (!database_) return;
  SecureString current;
  SecureString fresh;
  if (!ChangePassphraseDialog::Ask(prompter_, this, current, fresh)) return;
  ErrorList errors;
  if (!database_->verifyPassphrase(errors, current.view())) {
    ShowErrors(prompter_, this, errors);
    return;
  }
  // The Please Wait window stays up until the outcome has been shown.
  PleaseWaitWindow wait(QStringLiteral("Changing passphrase.  Lockwell needs to re-encrypt each account in the "
                                       "database, which may take a few seconds."),
                        this);
  if (database_->changePassphrase(errors, fresh)) {
    prompter_.Message(this, QStringLiteral("Passphrase Changed"), QStringLiteral("Passphrase successfully changed"),
                      Prompter::Buttons::Ok);
  } else {
    ShowErrors(prompter_, this, errors);
  }
}

void MainWindow::ShowHelpIndex() {
  if (urlOpener_) {
    HelpIndex::Show(prompter_, this, urlOpener_);
  } else {
    HelpIndex::Show(prompter_, this, [](const QUrl& url) { QDesktopServices::openUrl(url); });
  }
}

void MainWindow::ShowAbout() {
  AboutDialog about(this);
  prompter_.RunDialog(about);
}

}  // namespace lockwell

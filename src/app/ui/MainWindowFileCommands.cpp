// File and Help commands of the main window that are not about the
// window's state: Change Passphrase, Help > Index and the About box.
// (Open, Close, Lock and Quit live in MainWindowDatabase.cpp.)
#include <QDesktopServices>

#include "app/ui/AboutDialog.h"
#include "app/ui/HelpIndex.h"
#include "app/ui/MainWindow.h"
#include "platform/ui/Prompter.h"

namespace lockwell {

void MainWindow::ChangePassphrase() {
  // Built with the passphrase dialogs: the change-passphrase dialog, the
  // check of the current passphrase and the re-encryption behind Please
  // Wait.
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

// Account commands of the main window: New, Edit, Delete, Cut, Copy,
// Paste, Select All and Copy Password.
#include <QTreeWidget>

#include "app/ui/AccountIdentity.h"
#include "app/ui/AccountItem.h"
#include "app/ui/MainWindow.h"
#include "platform/ui/Prompter.h"
#include "storage/SecureString.h"
#include "vault/LockwellDatabase.h"
#include "vault/LockwellRecord.h"

namespace lockwell {

void MainWindow::NewAccount() {
  // Built with the account editor: a record with a new ID in the current
  // category (Unfiled for "All"), default labels, the editor in add mode,
  // sorted insertion, then the new account selected.
}

void MainWindow::EditAccount() {
  // Built with the account editor: the single selected account in edit
  // mode, then repositioned and selected again.
}

void MainWindow::DeleteAccounts() {
  // Built with the account commands: confirmation, deletion of every
  // selected account, the copy buffer emptied and the list reloaded.
}

void MainWindow::CutAccounts() {
  copyBuffer_.clear();
  cutMarker_ = true;
  for (QTreeWidgetItem* item : accountList_->selectedItems()) {
    copyBuffer_.insert(static_cast<int32_t>(AccountItem::IdentityOf(item)));
  }
  RefreshControls(false);
}

void MainWindow::CopyAccounts() {
  copyBuffer_.clear();
  cutMarker_ = false;
  for (QTreeWidgetItem* item : accountList_->selectedItems()) {
    copyBuffer_.insert(static_cast<int32_t>(AccountItem::IdentityOf(item)));
  }
  RefreshControls(false);
}

void MainWindow::PasteAccounts() {
  // Built with the account commands: refusal for "All" and for an empty
  // buffer, then a move (after Cut) or a copy with new IDs (after Copy) of
  // every buffered account into the selected category.
}

void MainWindow::SelectAllAccounts() {
  if (!database_) return;
  accountList_->selectAll();
}

void MainWindow::CopyPassword() {
  if (!database_) return;
  const QList<QTreeWidgetItem*> selected = accountList_->selectedItems();
  if (selected.size() != 1) return;
  const uint32_t identity = AccountItem::IdentityOf(selected.first());
  ErrorList errors;
  LockwellRecord record(database_.get());
  if (!database_->ReadRecordById(errors, AccountIdentity::RecordId(identity),
                                 AccountIdentity::DesktopId(identity), record)) {
    return;
  }
  SecureString password;
  if (!record.findFieldValue(errors, "Pwd", password)) {
    prompter_.Message(this, QStringLiteral("No Password Found"),
                      QStringLiteral("This account does not have a Pwd entry."), Prompter::Buttons::Ok);
    return;
  }
  if (!clipboard_.Put(password.view())) {
    prompter_.Message(this, QStringLiteral("Clipboard Error"),
                      QStringLiteral("Could not copy password to the clipboard."), Prompter::Buttons::Ok);
  }
}

}  // namespace lockwell

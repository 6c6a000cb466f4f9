// Account commands of the main window: New, Edit, Delete, Cut, Copy,
// Paste, Select All and Copy Password.
#include <QTreeWidget>
#include <algorithm>
#include <optional>
#include <string>

#include "app/AccountIdentity.h"
#include "app/ui/AccountItem.h"
#include "app/ui/MainWindow.h"
#include "app/DeleteAccounts.h"
#include "palmdb/CategoryConstants.h"
#include "platform/ui/ErrorDialog.h"
#include "platform/ui/Prompter.h"
#include "storage/SecureString.h"
#include "vault/LockwellDatabase.h"
#include "vault/LockwellRecord.h"
#include "vault/ui/AccountEditorDialog.h"

namespace lockwell {

void MainWindow::NewAccount() {
  if (!database_) return;
  ErrorList errors;
  LockwellRecord record(errors, database_.get(), true);
  // "All" is no category an account can live in: the account goes to
  // Unfiled.
  const uint32_t category = currentCategory_ == ALL_CATEGORIES ? UNFILED_CATEGORY : currentCategory_;
  if (!errors.Empty() || !record.SetCategory(errors, category)) {
    ShowErrors(prompter_, this, errors);
    return;
  }
  for (int n = 0; n < AccountEditorDialog::kFieldCount; ++n) {
    std::string label;
    ErrorList none;
    if (database_->getDefaultLabel(none, currentCategory_, n, label)) record.setField(none, n, label, {});
  }
  AccountEditorDialog editor(record, *database_, true, prompter_, this);
  if (prompter_.RunDialog(editor) != QDialog::Accepted) return;
  if (!database_->insertSorted(errors, record)) {
    ShowErrors(prompter_, this, errors);
    return;
  }
  ReloadAccounts();
  SelectAccount(record);
}

bool MainWindow::ReadSingleSelected(LockwellRecord& record) {
  const QList<QTreeWidgetItem*> selected = accountList_->selectedItems();
  if (selected.size() != 1) return false;
  const uint32_t identity = AccountItem::IdentityOf(selected.first());
  ErrorList errors;
  return database_->ReadRecordById(errors, AccountIdentity::RecordId(identity), AccountIdentity::DesktopId(identity),
                                   record);
}

void MainWindow::EditAccount() {
  if (!database_) return;
  LockwellRecord record(database_.get());
  if (!ReadSingleSelected(record)) return;
  AccountEditorDialog editor(record, *database_, false, prompter_, this);
  if (prompter_.RunDialog(editor) != QDialog::Accepted) return;
  ErrorList errors;
  if (!database_->repositionRecord(errors, record)) ShowErrors(prompter_, this, errors);
  ReloadAccounts();
  SelectAccount(record);
}

void MainWindow::DeleteAccounts() {
  if (!database_) return;
  const std::vector<uint32_t> identities = SelectedIdentities();
  if (identities.empty()) return;
  const QString text =
      identities.size() == 1
          ? QStringLiteral("Are you sure you want to delete this account?  This operation cannot be undone!")
          : QStringLiteral(
                "Are you sure you want to delete all of these accounts?  This operation cannot be undone!");
  if (prompter_.Message(this, QStringLiteral("Confirm Delete"), text, Prompter::Buttons::YesNo) !=
      Prompter::Answer::Yes) {
    return;
  }
  // The row of a single deleted account, to select its successor there.
  int row = -1;
  if (identities.size() == 1) {
    const QList<QTreeWidgetItem*> selected = accountList_->selectedItems();
    if (!selected.isEmpty()) row = accountList_->indexOfTopLevelItem(selected.first());
  }
  const uint32_t deleted = lockwell::DeleteAccounts(
      *database_, identities, [this](const ErrorList& errors) { ShowErrors(prompter_, this, errors); });
  copyBuffer_.clear();
  ReloadAccounts();
  if (deleted == 1 && row >= 0 && accountList_->topLevelItemCount() > 0) {
    QTreeWidgetItem* item = accountList_->topLevelItem(std::min(row, accountList_->topLevelItemCount() - 1));
    SelectAccountRow(AccountItem::IdentityOf(item));
  }
  RefreshControls(false);
}

void MainWindow::CutAccounts() {
  copyBuffer_.Fill(SelectedIdentities(), true);
  RefreshControls(false);
}

void MainWindow::CopyAccounts() {
  copyBuffer_.Fill(SelectedIdentities(), false);
  RefreshControls(false);
}

void MainWindow::PasteAccounts() {
  if (!database_) return;
  const std::optional<uint32_t> target = SelectedCategory();
  if (!target) return;
  switch (copyBuffer_.Paste(*database_, *target,
                            [this](const ErrorList& errors) { ShowErrors(prompter_, this, errors); })) {
    case AccountTransfer::PasteResult::kIntoAll:
      prompter_.Message(this, QString::fromLatin1(AccountTransfer::kIntoAllCaption),
                        QString::fromLatin1(AccountTransfer::kIntoAll), Prompter::Buttons::Ok);
      return;
    case AccountTransfer::PasteResult::kNothing:
      prompter_.Message(this, QString::fromLatin1(AccountTransfer::kEmptyCaption),
                        QString::fromLatin1(AccountTransfer::kEmpty), Prompter::Buttons::Ok);
      return;
    case AccountTransfer::PasteResult::kPasted:
      break;
  }
  ReloadAccounts();
  RefreshControls(false);
}

void MainWindow::SelectAllAccounts() {
  if (!database_) return;
  accountList_->selectAll();
}

void MainWindow::CopyPassword() {
  if (!database_) return;
  LockwellRecord record(database_.get());
  if (!ReadSingleSelected(record)) return;
  SecureString password;
  ErrorList errors;
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

std::vector<uint32_t> MainWindow::SelectedIdentities() const {
  std::vector<uint32_t> identities;
  for (int row = 0; row < accountList_->topLevelItemCount(); ++row) {
    QTreeWidgetItem* item = accountList_->topLevelItem(row);
    if (item->isSelected()) identities.push_back(AccountItem::IdentityOf(item));
  }
  return identities;
}

bool MainWindow::SelectAccountRow(uint32_t identity) {
  for (int row = 0; row < accountList_->topLevelItemCount(); ++row) {
    QTreeWidgetItem* item = accountList_->topLevelItem(row);
    if (AccountItem::IdentityOf(item) != identity) continue;
    accountList_->clearSelection();
    accountList_->setCurrentItem(item);
    item->setSelected(true);
    accountList_->scrollToItem(item);
    accountList_->setFocus();
    return true;
  }
  return false;
}

void MainWindow::SelectAccount(LockwellRecord& record) {
  ErrorList errors;
  uint32_t recordId = 0;
  bool desktopId = false;
  if (!record.GetRecordId(errors, recordId, desktopId)) {
    ShowErrors(prompter_, this, errors);
    return;
  }
  SelectAccountRow(AccountIdentity::Make(recordId, desktopId));
}

}  // namespace lockwell

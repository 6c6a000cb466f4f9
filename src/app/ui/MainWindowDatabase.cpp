// The window's three states (no database, open, locked): taking over an
// opened database, closing it, locking and unlocking, and bringing the
// controls in line with the state.
#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>

#include "app/ui/CommandIds.h"
#include "app/ui/MainWindow.h"
#include "platform/ui/Cp1252.h"
#include "storage/ErrorList.h"
#include "vault/LockwellDatabase.h"

namespace lockwell {

void MainWindow::ShowEntryInTitle(std::string_view entry) {
  setWindowTitle(QString::fromLatin1(kTitle) + QStringLiteral(" - ") + Cp1252::ToQString(entry));
}

void MainWindow::TakeDatabase(std::unique_ptr<LockwellDatabase> database, std::string_view entry) {
  if (!database) return;
  if (database_) CloseCurrentDatabase();
  ShowEntryInTitle(entry);
  database_ = std::move(database);
  locked_ = false;

  // The account view follows the state stored in the database.
  const bool wasExpanded = viewExpanded_;
  ErrorList errors;
  bool shown = true;
  if (!database_->getDetailsShown(errors, shown)) shown = true;
  viewExpanded_ = shown;
  viewButton_->setText(viewExpanded_ ? QStringLiteral("<<") : QStringLiteral(">>"));
  // A changed state lays the panes out again; the window keeps its size.
  if (viewExpanded_ != wasExpanded) LayOut();

  RefreshControls(true);
}

void MainWindow::CloseCurrentDatabase() {
  if (database_) {
    // The selected category is stored for the next open; failures here are
    // dropped.
    ErrorList ignored;
    if (auto category = SelectedCategory()) {
      if (database_->setLastCategory(ignored, *category)) database_->saveCategoryPrefs(ignored);
    }
    database_.reset();
  }
  for (QTreeWidget* list : {categoryList_, accountList_, accountView_}) {
    QSignalBlocker quiet(list);
    list->clear();
  }
  copyBuffer_.clear();
  clipboard_.Release();
  RefreshControls(true);
  if (!locked_) setWindowTitle(QString::fromLatin1(kTitle));
}

void MainWindow::RefreshControls(bool refill) {
  if (database_) {
    categoryList_->show();
    accountList_->show();
    accountView_->setVisible(viewExpanded_);
    for (QPushButton* button : {newButton_, editButton_, deleteButton_, viewButton_, lockButton_})
      button->show();
    lockButton_->setText(QStringLiteral("Lock"));
    message_->hide();
    UpdateCommands();
    if (refill) {
      FillCategoryList(-1);
      categoryList_->setColumnWidth(0, categoryList_->viewport()->width());
    }
    return;
  }
  for (QWidget* control : std::initializer_list<QWidget*>{
           categoryList_, accountList_, accountView_, newButton_, editButton_, deleteButton_, viewButton_}) {
    control->hide();
  }
  if (locked_) {
    lockButton_->setText(QStringLiteral("Unlock..."));
    lockButton_->show();
    message_->setText(QString::fromLatin1(kLockedMessage));
  } else {
    lockButton_->hide();
    message_->setText(QString::fromLatin1(kNoDatabaseMessage));
  }
  message_->show();
  UpdateCommands();
}

void MainWindow::OpenDatabase() {
  if (openFlow_) openFlow_(*this);
}

void MainWindow::ToggleLock() {
  if (locked_) {
    // Unlock asks for the database and its passphrase again.
    OpenDatabase();
  } else if (database_) {
    locked_ = true;
    CloseCurrentDatabase();
  }
}

void MainWindow::Quit() {
  CloseCurrentDatabase();
  accept();
}

}  // namespace lockwell

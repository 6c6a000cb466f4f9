// The category list and the account list: filling them, and how their
// selections drive the rest of the window.
#include <QApplication>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <optional>

#include "app/AccountIdentity.h"
#include "app/ui/AccountItem.h"
#include "app/ui/CategoryOrder.h"
#include "app/ui/MainWindow.h"
#include "app/ui/SortHeader.h"
#include "palmdb/CategoryConstants.h"
#include "platform/ui/Cp1252.h"
#include "platform/ui/ErrorDialog.h"
#include "storage/SecureString.h"
#include "vault/LockwellDatabase.h"
#include "vault/LockwellRecord.h"

namespace lockwell {
namespace {

constexpr int kCategoryRole = Qt::UserRole;
constexpr const char* kAllName = "All";

// The wait cursor and a frozen list for the time of a refill.
class RefillGuard {
 public:
  explicit RefillGuard(QWidget* list) : list_(list) {
    list_->setUpdatesEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
  }
  ~RefillGuard() {
    list_->setUpdatesEnabled(true);
    QApplication::restoreOverrideCursor();
  }
  RefillGuard(const RefillGuard&) = delete;
  RefillGuard& operator=(const RefillGuard&) = delete;

 private:
  QWidget* list_;
};

}  // namespace

void MainWindow::ConnectNotifications() {
  connect(categoryList_, &QTreeWidget::itemSelectionChanged, this, &MainWindow::OnCategorySelectionChanged);
  connect(categoryList_, &QWidget::customContextMenuRequested, this, &MainWindow::ShowCategoryMenu);
  connect(accountList_, &QTreeWidget::itemSelectionChanged, this, &MainWindow::OnAccountSelectionChanged);
  connect(accountList_, &QWidget::customContextMenuRequested, this, &MainWindow::ShowAccountMenu);
  connect(accountList_, &QTreeWidget::itemDoubleClicked, this, [this] { EditAccount(); });
  connect(accountHeader_, &QHeaderView::sectionClicked, this, &MainWindow::SortByColumn);
}

std::optional<uint32_t> MainWindow::SelectedCategory() const {
  const QList<QTreeWidgetItem*> selected = categoryList_->selectedItems();
  if (selected.isEmpty()) return std::nullopt;
  return selected.first()->data(0, kCategoryRole).toUInt();
}

int MainWindow::SelectedAccountCount() const {
  return static_cast<int>(accountList_->selectionModel()->selectedRows().size());
}

void MainWindow::FillCategoryList(int64_t category) {
  if (!database_) return;
  {
    // The list is rebuilt quietly; selecting the category below is what
    // reloads the accounts.
    QSignalBlocker quiet(categoryList_);
    categoryList_->clear();
  }
  ErrorList errors;
  std::vector<std::string> names;
  std::vector<uint32_t> numbers;
  if (!database_->ListCategories(errors, names, numbers)) {
    ShowErrors(prompter_, this, errors);
    OnCategorySelectionChanged();
    return;
  }
  std::vector<CategoryEntry> entries;
  entries.push_back({QString::fromLatin1(kAllName), ALL_CATEGORIES});
  for (size_t i = 0; i < names.size() && i < numbers.size(); ++i) {
    entries.push_back({Cp1252::ToQString(names[i]), numbers[i]});
  }
  CategoryOrder::Sort(entries);
  {
    QSignalBlocker quiet(categoryList_);
    QList<QTreeWidgetItem*> items;
    for (const CategoryEntry& entry : entries) {
      auto* item = new QTreeWidgetItem(QStringList{entry.name});
      item->setData(0, kCategoryRole, entry.id);
      items.push_back(item);
    }
    categoryList_->addTopLevelItems(items);
  }

  // The category to select: the one asked for, or the one stored.
  uint32_t wanted = 0;
  if (category < 0) {
    if (!database_->getLastCategory(errors, wanted)) {
      OnCategorySelectionChanged();
      return;
    }
  } else {
    wanted = static_cast<uint32_t>(category);
  }
  std::string name;
  if (!database_->GetCategoryName(errors, wanted, name)) {
    OnCategorySelectionChanged();
    return;
  }
  // A slot without a name is no category: Unfiled stands in.
  if (name.empty()) wanted = UNFILED_CATEGORY;

  for (int row = 0; row < categoryList_->topLevelItemCount(); ++row) {
    QTreeWidgetItem* item = categoryList_->topLevelItem(row);
    if (item->data(0, kCategoryRole).toUInt() != wanted) continue;
    currentCategory_ = wanted;
    categoryList_->setCurrentItem(item);  // reloads the accounts
    return;
  }
  OnCategorySelectionChanged();
}

void MainWindow::OnCategorySelectionChanged() {
  sortColumn_ = -1;
  ReloadAccounts();
  RecomputeFindAgain();
  RefreshControls(false);
}

void MainWindow::ReloadAccounts() {
  const QList<QTreeWidgetItem*> selected = categoryList_->selectedItems();
  if (selected.isEmpty() || !database_) {
    QSignalBlocker quiet(accountList_);
    accountList_->clear();
    accountList_->setColumnCount(0);
    accountHeader_->SetImage(-1, SortHeader::kNoImage);
    accountList_->setEnabled(false);
    FillAccountView();
    return;
  }
  accountList_->setEnabled(true);
  FillAccountList(categoryList_->indexOfTopLevelItem(selected.first()));
}

void MainWindow::FillAccountList(int index) {
  QTreeWidgetItem* categoryItem = categoryList_->topLevelItem(index);
  if (!database_ || categoryItem == nullptr) return;
  currentCategory_ = categoryItem->data(0, kCategoryRole).toUInt();

  std::optional<RefillGuard> guard;
  guard.emplace(accountList_);
  {
    QSignalBlocker quiet(accountList_);
    accountList_->clear();
  }
  FillAccountView();
  accountList_->setColumnCount(0);
  accountHeader_->SetImage(-1, SortHeader::kNoImage);

  ErrorList errors;
  std::vector<std::string> labels;
  if (!database_->getShownFields(errors, currentCategory_, labels)) {
    guard.reset();
    ShowErrors(prompter_, this, errors);
    return;
  }
  QStringList headers;
  for (const std::string& label : labels) headers << Cp1252::ToQString(label);
  accountList_->setColumnCount(static_cast<int>(labels.size()));
  accountList_->setHeaderLabels(headers);

  // Rows are gathered first and ordered once by their first cell, then
  // handed to the list together: the list never re-sorts per row.  An
  // account that cannot be read is reported (all of them in one dialog
  // after the walk) and the walk goes on with the next one, so one damaged
  // record does not hide the accounts stored after it.
  QList<QTreeWidgetItem*> rows;
  ErrorList unreadable;
  LockwellRecord record(database_.get());
  uint32_t position = 0;
  for (uint32_t start = 0; database_->FindNextInCategory(errors, currentCategory_, start, position);
       start = position + 1) {
    if (!record.Reset(unreadable, false) || !database_->ReadRecordAt(unreadable, position, record)) continue;
    uint32_t recordId = 0;
    bool desktopId = false;
    if (!record.GetRecordId(unreadable, recordId, desktopId)) continue;
    QStringList cells;
    cells.reserve(static_cast<int>(labels.size()));
    SecureString value;
    for (const std::string& label : labels) {
      value.wipe();
      // A label the account lacks gives an empty cell.
      ErrorList missing;
      cells << (record.findFieldValue(missing, label, value) ? Cp1252::ToQString(value.view()) : QString());
    }
    rows.push_back(new AccountItem(cells, AccountIdentity::Make(recordId, desktopId)));
  }
  {
    QSignalBlocker quiet(accountList_);
    accountList_->addTopLevelItems(rows);
    accountList_->sortItems(0, Qt::AscendingOrder);
  }
  guard.reset();
  SetAccountColumnWidths();
  if (!unreadable.Empty()) ShowErrors(prompter_, this, unreadable);
}

void MainWindow::OnAccountSelectionChanged() {
  FillAccountView();
  RefreshControls(false);
}

void MainWindow::SortByColumn(int column) {
  if (column == sortColumn_) {
    sortAscending_ = !sortAscending_;
  } else {
    // The header shows one image; setting it on the new column below
    // takes it off the old one.
    sortColumn_ = column;
    sortAscending_ = true;
  }
  if (database_) {
    // The column already holds each account's value of the field under its
    // label; ordering by it is ordering by that field.
    QSignalBlocker quiet(accountList_);
    accountList_->sortItems(column, sortAscending_ ? Qt::AscendingOrder : Qt::DescendingOrder);
  }
  accountHeader_->SetImage(column,
                           sortAscending_ ? SortHeader::kAscendingImage : SortHeader::kDescendingImage);
}

}  // namespace lockwell

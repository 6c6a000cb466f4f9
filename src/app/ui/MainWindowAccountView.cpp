// The account view: the one selected account's title, labelled fields and
// note, one row each.
#include <QTreeWidget>

#include "app/ui/MainWindow.h"
#include "platform/ui/Cp1252.h"
#include "platform/ui/SecretText.h"
#include "storage/SecureString.h"
#include "vault/LockwellDatabase.h"
#include "vault/LockwellRecord.h"

namespace lockwell {
namespace {

void AddRow(QTreeWidget* view, std::string_view label, std::string_view value) {
  QString shown = Cp1252::ToQString(value);
  // Text in memory ends its lines with CR LF; the view breaks lines at LF.
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  view->addTopLevelItem(new QTreeWidgetItem(QStringList{Cp1252::ToQString(label), shown}));
  SecretText::Wipe(shown);
}

}  // namespace

void MainWindow::FillAccountView() {
  if (!database_ || !viewExpanded_) return;
  accountView_->clear();

  LockwellRecord record(database_.get());
  if (!ReadSingleSelected(record)) {
    accountView_->setEnabled(false);
    return;
  }
  accountView_->setEnabled(true);
  ErrorList errors;
  SecureString label;
  SecureString value;
  if (record.getTitle(errors, value)) AddRow(accountView_, "Title:", value.view());
  for (int field = 0; field < 5; ++field) {
    if (!record.getField(errors, field, label, value)) continue;
    // A field without label and value is not shown.
    if (label.view() == " " && value.empty()) continue;
    AddRow(accountView_, label.view(), value.view());
  }
  if (record.getNote(errors, value)) AddRow(accountView_, "Note:", value.view());
  const int w = accountView_->viewport()->width();
  accountView_->setColumnWidth(0, w / 3);
  accountView_->setColumnWidth(1, 2 * w / 3);
}

}  // namespace lockwell

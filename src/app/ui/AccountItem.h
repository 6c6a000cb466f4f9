// One row of the account list: the shown field values of one account, the
// account's identity as item data, and the row order (a column's text
// compared without regard to case).
#pragma once

#include <QStringList>
#include <QTreeWidgetItem>
#include <cstdint>

namespace lockwell {

class AccountItem : public QTreeWidgetItem {
 public:
  static constexpr int kIdentityRole = Qt::UserRole;

  AccountItem(const QStringList& cells, uint32_t identity) : QTreeWidgetItem(cells, UserType) {
    setData(0, kIdentityRole, identity);
  }

  static uint32_t IdentityOf(const QTreeWidgetItem* item) { return item->data(0, kIdentityRole).toUInt(); }

  bool operator<(const QTreeWidgetItem& other) const override {
    const int column = treeWidget() != nullptr ? treeWidget()->sortColumn() : 0;
    return QString::compare(text(column), other.text(column), Qt::CaseInsensitive) < 0;
  }
};

}  // namespace lockwell

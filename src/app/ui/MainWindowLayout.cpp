// The main window's pane layout, run on every size change, and showing or
// hiding the account view.
//
// With the client area W x H pixels (below the menu bar) and T the top of
// the New button:
//   New, Edit, Delete   keep x; bottom edge at H - 4
//   Quit                bottom-right, right edge at W - 4; Lock 4 px left of it
//   u                   (W - 8) / 6 with the account view, else (W - 8) / 4
//   category list       left 4, top 4, width u - 1, height T - 8
//   view button (1050)  right edge at W - 1, centred on T / 2
//   account list        left u + 4, top 4, height T - 8; right edge 4u + 3
//                       with the view, else one pixel left of the view button
//   account view        left 4u + 5, top 4, right edge one pixel left of the
//                       view button, height T - 8
//   message (1049)      left 4, top (T - 4) / 3, width W - 8, down to T - 4
// Right and bottom edges are exclusive, as in a Windows rectangle.
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTreeWidget>

#include "app/ui/MainWindow.h"
#include "app/ui/SortHeader.h"
#include "storage/ErrorList.h"
#include "vault/LockwellDatabase.h"

namespace lockwell {
namespace {

// Places `widget` by its left, top, exclusive right and exclusive bottom.
void Place(QWidget* widget, int left, int top, int right, int bottom) {
  widget->setGeometry(left, top, std::max(0, right - left), std::max(0, bottom - top));
}

}  // namespace

void MainWindow::LayOut() {
  const int menuHeight = menuBar_->sizeHint().height();
  menuBar_->setGeometry(0, 0, width(), menuHeight);
  client_->setGeometry(0, menuHeight, width(), std::max(0, height() - menuHeight));
  const int W = client_->width();
  const int H = client_->height();

  if (database_) accountView_->setVisible(viewExpanded_);

  for (QPushButton* button : {newButton_, editButton_, deleteButton_}) {
    button->move(button->x(), H - 4 - button->height());
  }
  quitButton_->move(W - 4 - quitButton_->width(), H - 4 - quitButton_->height());
  lockButton_->move(quitButton_->x() - 4 - lockButton_->width(), H - 4 - lockButton_->height());
  const int T = newButton_->y();

  const int u = viewExpanded_ ? (W - 8) / 6 : (W - 8) / 4;
  categoryList_->setGeometry(4, 4, u - 1, T - 8);
  viewButton_->move(W - 1 - viewButton_->width(), T / 2 - viewButton_->height() / 2);
  const int beforeButton = viewButton_->x() - 1;
  Place(accountList_, u + 4, 4, viewExpanded_ ? 4 * u + 3 : beforeButton, 4 + T - 8);
  if (viewExpanded_) Place(accountView_, 4 * u + 5, 4, beforeButton, 4 + T - 8);
  Place(message_, 4, (T - 4) / 3, W - 4, T - 4);

  ApplyColumnWidths();
}

void MainWindow::ApplyColumnWidths() {
  categoryList_->setColumnWidth(0, categoryList_->viewport()->width());
  SetAccountColumnWidths();
  const int w = accountView_->viewport()->width();
  accountView_->setColumnWidth(0, w / 3);
  accountView_->setColumnWidth(1, 2 * w / 3);
}

void MainWindow::SetAccountColumnWidths() {
  // The first column twice as wide as each other: 2w / (n + 1), w / (n + 1).
  const int n = accountList_->columnCount();
  if (n == 0) return;
  const int w = accountList_->viewport()->width();
  accountList_->setColumnWidth(0, 2 * w / (n + 1));
  for (int i = 1; i < n; ++i) accountList_->setColumnWidth(i, w / (n + 1));
}

void MainWindow::ToggleAccountView() {
  if (viewExpanded_) {
    // The right edge moves left by a third of the width, but never below the
    // minimum width.
    const int w = std::max(kMinWidth, width() - width() / 3);
    viewExpanded_ = false;
    viewButton_->setText(QStringLiteral(">>"));
    resize(w, height());
  } else {
    viewExpanded_ = true;
    viewButton_->setText(QStringLiteral("<<"));
    resize(width() + width() / 2, height());
    FillAccountView();
  }
  LayOut();
  categoryList_->setFocus();
  if (database_) {
    ErrorList errors;
    bool stored = true;
    const bool known = database_->getDetailsShown(errors, stored);
    if (!known || stored != viewExpanded_) {
      if (database_->setDetailsShown(errors, viewExpanded_)) database_->saveCategoryPrefs(errors);
    }
  }
}

}  // namespace lockwell

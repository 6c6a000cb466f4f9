#include "app/open/QtOpenSequenceUi.h"

#include "hotsync/ui/PleaseWaitWindow.h"
#include "platform/ui/Cp1252.h"
#include "platform/ui/ErrorDialog.h"
#include "platform/ui/Prompter.h"
#include "vault/ui/ConflictDialog.h"

namespace lockwell {

QtOpenSequenceUi::QtOpenSequenceUi(Prompter& prompter, QWidget* owner) : prompter_(prompter), owner_(owner) {}

QtOpenSequenceUi::~QtOpenSequenceUi() = default;

void QtOpenSequenceUi::ShowErrors(const ErrorList& errors) { lockwell::ShowErrors(prompter_, owner_, errors); }

void QtOpenSequenceUi::BeginPleaseWait(const std::string& text) {
  wait_.reset();
  wait_ = std::make_unique<PleaseWaitWindow>(Cp1252::ToQString(text), owner_);
}

void QtOpenSequenceUi::EndPleaseWait() { wait_.reset(); }

OpenSequenceUi::ConflictChoice QtOpenSequenceUi::AskOldPassphrase(SecureString& oldPassphrase) {
  switch (ConflictDialog::Ask(prompter_, owner_, oldPassphrase)) {
    case ConflictDialog::Choice::kRetry:
      return ConflictChoice::kRetry;
    case ConflictDialog::Choice::kDelete:
      return ConflictChoice::kDelete;
    case ConflictDialog::Choice::kCancel:
      break;
  }
  return ConflictChoice::kCancel;
}

void QtOpenSequenceUi::Notice(const std::string& caption, const std::string& text) {
  prompter_.Message(owner_, Cp1252::ToQString(caption), Cp1252::ToQString(text), Prompter::Buttons::Ok);
}

}  // namespace lockwell

// The window's answers to the open sequence's questions: the error dialog,
// the Please Wait window, the conflict dialog and message boxes, all owned
// by one window and run through the Prompter.
#pragma once

#include <memory>
#include <string>

#include "app/OpenSequenceUi.h"

class QWidget;

namespace lockwell {

class PleaseWaitWindow;
class Prompter;

class QtOpenSequenceUi : public OpenSequenceUi {
 public:
  QtOpenSequenceUi(Prompter& prompter, QWidget* owner);
  ~QtOpenSequenceUi() override;

  void ShowErrors(const ErrorList& errors) override;
  void BeginPleaseWait(const std::string& text) override;
  void EndPleaseWait() override;
  ConflictChoice AskOldPassphrase(SecureString& oldPassphrase) override;
  // The conflict dialog asks "Are you sure?" itself before it reports
  // Delete, so a Delete that reaches here is confirmed.
  bool ConfirmDelete() override { return true; }
  void Notice(const std::string& caption, const std::string& text) override;

 private:
  Prompter& prompter_;
  QWidget* owner_;
  std::unique_ptr<PleaseWaitWindow> wait_;
};

}  // namespace lockwell

// A Prompter for tests: records every question the code under test asks and
// answers from a queue the test filled beforehand.
//
// Message boxes take an Answer; dialogs take a script that receives the
// dialog already shown (its initialisation done) and acts as the user would:
// types into fields, clicks OK or Cancel.  Anything the queue does not
// answer, or a script that leaves its dialog open, is recorded in Problems()
// and answered with the cautious choice (No, or Rejected), so a test that
// checks Problems() catches a question it did not expect.
#pragma once

#include <deque>
#include <functional>
#include <variant>
#include <vector>

#include <QDialog>
#include <QString>
#include <QStringList>

#include "platform/ui/Prompter.h"

namespace lockwell {

class ScriptedPrompter : public Prompter {
 public:
  using DialogScript = std::function<void(QDialog&)>;

  struct Request {
    bool isDialog = false;
    QString caption;  // message caption or dialog title
    QString text;     // message text; the dialog's object name
    Buttons buttons = Buttons::Ok;
  };

  void QueueAnswer(Answer answer) { queue_.emplace_back(answer); }
  void QueueDialog(DialogScript script) { queue_.emplace_back(std::move(script)); }
  // Shorthands: press the dialog's OK button (object name "okButton") or
  // reject it as Cancel or Escape would.
  void QueueDialogOk();
  void QueueDialogCancel();

  Answer Message(QWidget* owner, const QString& caption, const QString& text, Buttons buttons) override;
  int RunDialog(QDialog& dialog) override;

  const std::vector<Request>& Requests() const { return requests_; }
  const QStringList& Problems() const { return problems_; }
  // Queued answers nobody asked for.
  size_t Unused() const { return queue_.size(); }

 private:
  std::deque<std::variant<Answer, DialogScript>> queue_;
  std::vector<Request> requests_;
  QStringList problems_;
};

}  // namespace lockwell

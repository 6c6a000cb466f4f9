#include "platform/ui/ScriptedPrompter.h"

#include <QPushButton>

namespace lockwell {

void ScriptedPrompter::QueueDialogOk() {
  QueueDialog([](QDialog& dialog) {
    auto* ok = dialog.findChild<QPushButton*>("okButton");
    if (ok != nullptr) ok->click();
  });
}

void ScriptedPrompter::QueueDialogCancel() {
  QueueDialog([](QDialog& dialog) { dialog.reject(); });
}

Prompter::Answer ScriptedPrompter::Message(QWidget*, const QString& caption, const QString& text,
                                           Buttons buttons) {
  requests_.push_back({false, caption, text, buttons});
  const Answer cautious = buttons == Buttons::Ok ? Answer::Ok : Answer::No;
  if (queue_.empty() || !std::holds_alternative<Answer>(queue_.front())) {
    problems_ << QStringLiteral("unanswered message \"%1\": %2").arg(caption, text);
    return cautious;
  }
  const Answer answer = std::get<Answer>(queue_.front());
  queue_.pop_front();
  const bool fits = buttons == Buttons::Ok ? answer == Answer::Ok : answer != Answer::Ok;
  if (!fits) {
    problems_ << QStringLiteral("answer does not fit the buttons of \"%1\"").arg(caption);
    return cautious;
  }
  return answer;
}

int ScriptedPrompter::RunDialog(QDialog& dialog) {
  requests_.push_back({true, dialog.windowTitle(), dialog.objectName(), Buttons::Ok});
  if (queue_.empty() || !std::holds_alternative<DialogScript>(queue_.front())) {
    problems_ << QStringLiteral("unanswered dialog \"%1\"").arg(dialog.windowTitle());
    return QDialog::Rejected;
  }
  DialogScript script = std::move(std::get<DialogScript>(queue_.front()));
  queue_.pop_front();

  dialog.setResult(QDialog::Rejected);
  dialog.show();
  script(dialog);
  if (dialog.isVisible()) {
    // A person would still be looking at it; the script forgot to end it.
    problems_ << QStringLiteral("dialog \"%1\" left open by its script").arg(dialog.windowTitle());
    dialog.hide();
    return QDialog::Rejected;
  }
  return dialog.result();
}

}  // namespace lockwell

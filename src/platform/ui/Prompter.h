// The one way the program asks the user something modally.
//
// Message boxes and modal dialogs go through a Prompter handed to whoever
// needs one, so that a test can answer them without a person
// (ScriptedPrompter in the tests) and the program uses QtPrompter.
#pragma once

#include <QString>

class QDialog;
class QWidget;

namespace lockwell {

class Prompter {
 public:
  enum class Buttons { Ok, YesNo };
  enum class Answer { Ok, Yes, No };

  virtual ~Prompter() = default;

  // A message box owned by `owner` with its own caption and no icon.  Ok
  // boxes answer Ok; YesNo boxes answer Yes or No, and No when the user
  // closes the box otherwise (only Yes goes ahead).
  virtual Answer Message(QWidget* owner, const QString& caption, const QString& text, Buttons buttons) = 0;

  // Runs `dialog` modally and returns its result (QDialog::Accepted or
  // QDialog::Rejected).
  virtual int RunDialog(QDialog& dialog) = 0;
};

}  // namespace lockwell

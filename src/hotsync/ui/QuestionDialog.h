// The Question dialog: one line of text asked for under a prompt (a new
// category's name, or a new name for one).
//
// OK is enabled exactly while the answer is not empty.  Run it modally
// (through the program's Prompter); GetAnswer gives the field's text at OK,
// and is to be ignored after Cancel.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

namespace lockwell {

class QuestionDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kPromptId = 1054;
  static constexpr int kAnswerId = 1055;
  static constexpr int kOkId = 1;
  static constexpr int kCancelId = 2;

  explicit QuestionDialog(QWidget* owner);

  // The text shown above the field.
  void SetPrompt(const QString& text);
  // The text the field starts with; empty by default.
  void SetAnswer(const QString& text);
  const QString& GetAnswer() const { return answer_; }

  void accept() override;

 private:
  void OnAnswerEdited(const QString& text);

  QString answer_;
  QLabel* prompt_;
  QLineEdit* field_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

}  // namespace lockwell

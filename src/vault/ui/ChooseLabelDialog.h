// The choose-label dialog: asks for one field name or label, offering a
// list of choices and accepting typed text as well.
//
// The caller sets the choices (shown in the given order), runs the dialog
// modally and on OK reads the text as Windows-1252 bytes.  The field starts
// empty.  OK refuses a character the database cannot hold with a message.
#pragma once

#include <string>
#include <vector>

#include <QDialog>

class QComboBox;
class QPushButton;

namespace lockwell {

class Prompter;

class ChooseLabelDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kLabelId = 1096;
  static constexpr int kOkId = 1;
  static constexpr int kCancelId = 2;
  static constexpr const char* kPrompt = "Enter the label you want to add:";

  ChooseLabelDialog(Prompter& prompter, QWidget* parent);

  void SetChoices(const std::vector<std::string>& choices);
  // The text at OK; empty before.
  const std::string& GetLabel() const { return label_; }

  void accept() override;

 private:
  Prompter& prompter_;
  std::string label_;
  QComboBox* combo_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

}  // namespace lockwell

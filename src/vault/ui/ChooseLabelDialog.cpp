#include "vault/ui/ChooseLabelDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/ui/ControlIds.h"
#include "platform/ui/Cp1252.h"
#include "platform/ui/Prompter.h"

namespace lockwell {
namespace {

// 207 x 46 dialog units.
constexpr int kWidth = 311;
constexpr int kHeight = 75;
constexpr QRect kPromptRect(8, 8, 200, 20);
constexpr QRect kComboRect(8, 38, 200, 24);
constexpr QRect kOkRect(223, 8, 80, 24);
constexpr QRect kCancelRect(223, 38, 80, 24);

}  // namespace

ChooseLabelDialog::ChooseLabelDialog(Prompter& prompter, QWidget* parent)
    : QDialog(parent),
      prompter_(prompter),
      combo_(new QComboBox(this)),
      ok_(new QPushButton(QStringLiteral("OK"), this)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)) {
  setObjectName("chooseLabelDialog");
  setWindowTitle(QStringLiteral("Choose Label"));
  setFixedSize(kWidth, kHeight);
  auto* prompt = new QLabel(QString::fromLatin1(kPrompt), this);
  prompt->setObjectName("promptText");
  prompt->setGeometry(kPromptRect);

  ControlIds::Place(combo_, "labelCombo", kLabelId, kComboRect);
  combo_->setEditable(true);
  combo_->setInsertPolicy(QComboBox::NoInsert);
  ControlIds::Place(ok_, "okButton", kOkId, kOkRect);
  ok_->setDefault(true);
  ControlIds::Place(cancel_, "cancelButton", kCancelId, kCancelRect);
  cancel_->setAutoDefault(false);
  combo_->setFocus();

  connect(ok_, &QPushButton::clicked, this, &ChooseLabelDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void ChooseLabelDialog::SetChoices(const std::vector<std::string>& choices) {
  combo_->clear();
  for (const std::string& choice : choices) combo_->addItem(Cp1252::ToQString(choice));
  combo_->setCurrentIndex(-1);
  combo_->setEditText(QString());
}

void ChooseLabelDialog::accept() {
  QString refusal;
  std::string label;
  if (!Cp1252::FromQString(combo_->currentText(), label, refusal)) {
    prompter_.Message(this, windowTitle(), refusal, Prompter::Buttons::Ok);
    return;
  }
  label_ = std::move(label);
  QDialog::accept();
}

}  // namespace lockwell

#include "hotsync/ui/QuestionDialog.h"

#include "platform/ui/ControlIds.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace lockwell {
namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 112;
constexpr QRect kPromptRect(12, 8, 296, 34);
constexpr QRect kFieldRect(12, 46, 296, 24);
constexpr QRect kOkRect(148, 80, 76, 24);
constexpr QRect kCancelRect(232, 80, 76, 24);

}  // namespace

QuestionDialog::QuestionDialog(QWidget* owner)
    : QDialog(owner),
      prompt_(ControlIds::Place(new QLabel(this), "promptText", kPromptId, kPromptRect)),
      field_(ControlIds::Place(new QLineEdit(this), "answerEdit", kAnswerId, kFieldRect)),
      ok_(ControlIds::Place(new QPushButton(QStringLiteral("OK"), this), "okButton", kOkId, kOkRect)),
      cancel_(ControlIds::Place(new QPushButton(QStringLiteral("Cancel"), this), "cancelButton", kCancelId, kCancelRect)) {
  setObjectName("questionDialog");
  setWindowTitle(QStringLiteral("Lockwell/PC"));
  setFixedSize(kWidth, kHeight);
  prompt_->setTextFormat(Qt::PlainText);
  prompt_->setWordWrap(true);
  prompt_->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
  ok_->setDefault(true);
  ok_->setEnabled(false);
  cancel_->setAutoDefault(false);
  field_->setFocus();

  connect(field_, &QLineEdit::textChanged, this, &QuestionDialog::OnAnswerEdited);
  connect(ok_, &QPushButton::clicked, this, &QuestionDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void QuestionDialog::SetPrompt(const QString& text) { prompt_->setText(text); }

void QuestionDialog::SetAnswer(const QString& text) {
  field_->setText(text);
  // setText reports no change when the text is already the field's.
  OnAnswerEdited(field_->text());
}

void QuestionDialog::accept() {
  answer_ = field_->text();
  QDialog::accept();
}

void QuestionDialog::OnAnswerEdited(const QString& text) {
  answer_ = text;
  ok_->setEnabled(!answer_.isEmpty());
}

}  // namespace lockwell

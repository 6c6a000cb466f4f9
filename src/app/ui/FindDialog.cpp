#include "app/ui/FindDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/ui/ControlIds.h"
#include "platform/ui/Cp1252.h"
#include "platform/ui/Prompter.h"
#include "platform/ui/SecretText.h"

namespace lockwell {
namespace {

constexpr int kWidth = 330;
constexpr int kHeight = 96;
constexpr QRect kPromptRect(10, 12, 70, 22);
constexpr QRect kFieldRect(84, 10, 150, 24);
constexpr QRect kCaseRect(10, 44, 150, 20);
constexpr QRect kBackwardsRect(10, 68, 150, 20);
constexpr QRect kOkRect(244, 10, 76, 24);
constexpr QRect kCancelRect(244, 40, 76, 24);

}  // namespace

FindDialog::FindDialog(std::string_view categoryName, std::string_view text, bool caseSensitive,
                       bool backwards, Prompter& prompter, QWidget* owner)
    : QDialog(owner),
      prompter_(prompter),
      prompt_(
          ControlIds::Place(new QLabel(QStringLiteral("Find What:"), this), "findWhatText", -1, kPromptRect)),
      field_(ControlIds::Place(new QLineEdit(this), "findWhatEdit", kTextId, kFieldRect)),
      caseBox_(ControlIds::Place(new QCheckBox(QStringLiteral("Case Sensitive"), this), "caseSensitiveCheck",
                                 kCaseSensitiveId, kCaseRect)),
      backwardsBox_(ControlIds::Place(new QCheckBox(QStringLiteral("Search Backwards"), this),
                                      "searchBackwardsCheck", kBackwardsId, kBackwardsRect)),
      ok_(ControlIds::Place(new QPushButton(QStringLiteral("OK"), this), "okButton", kOkId, kOkRect)),
      cancel_(ControlIds::Place(new QPushButton(QStringLiteral("Cancel"), this), "cancelButton", kCancelId,
                                kCancelRect)) {
  setObjectName("findDialog");
  ControlIds::Set(this, kTemplateId);
  setWindowTitle(QString::fromLatin1(kCaptionPrefix) + Cp1252::ToQString(categoryName));
  setFixedSize(kWidth, kHeight);
  prompt_->setBuddy(field_);
  ok_->setDefault(true);
  cancel_->setAutoDefault(false);

  connect(field_, &QLineEdit::textChanged, this, &FindDialog::OnTextChanged);
  connect(ok_, &QPushButton::clicked, this, &FindDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

  field_->setText(Cp1252::ToQString(text));
  // setText reports no change when the text is already the field's.
  OnTextChanged(field_->text());
  field_->selectAll();
  field_->setFocus();
  caseBox_->setChecked(caseSensitive);
  backwardsBox_->setChecked(backwards);
}

FindDialog::~FindDialog() { SecretText::WipeEdit(*field_); }

void FindDialog::accept() {
  QString refusal;
  SecureString text;
  // A character the database cannot hold can never match: it is refused
  // here rather than searched for in a changed form.
  if (!SecretText::Read(*field_, text, refusal)) {
    prompter_.Message(this, windowTitle(), refusal, Prompter::Buttons::Ok);
    field_->setFocus();
    return;
  }
  text_ = std::move(text);
  caseSensitive_ = caseBox_->isChecked();
  backwards_ = backwardsBox_->isChecked();
  QDialog::accept();
}

void FindDialog::done(int result) {
  SecretText::WipeEdit(*field_);
  QDialog::done(result);
}

void FindDialog::OnTextChanged(const QString& text) { ok_->setEnabled(!text.isEmpty()); }

}  // namespace lockwell

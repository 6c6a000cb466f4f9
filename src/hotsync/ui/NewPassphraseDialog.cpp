#include "hotsync/ui/NewPassphraseDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/ui/ControlIds.h"
#include "platform/ui/Prompter.h"
#include "platform/ui/SecretText.h"

namespace lockwell {
namespace {

constexpr int kWidth = 300;
constexpr int kHeight = 132;
constexpr QRect kLabelRect(12, 10, 276, 20);
constexpr QRect kPassphraseLabelRect(12, 40, 80, 24);
constexpr QRect kPassphraseRect(96, 40, 192, 24);
constexpr QRect kConfirmLabelRect(12, 70, 80, 24);
constexpr QRect kConfirmRect(96, 70, 192, 24);
constexpr QRect kOkRect(128, 100, 76, 24);
constexpr QRect kCancelRect(212, 100, 76, 24);

QLineEdit* PassphraseEdit(QWidget* parent, const char* name, int id, const QRect& rect) {
  auto* edit = ControlIds::Place(new QLineEdit(parent), name, id, rect);
  edit->setEchoMode(QLineEdit::Password);
  edit->setMaxLength(NewPassphraseDialog::kMaxChars);
  return edit;
}

}  // namespace

NewPassphraseDialog::NewPassphraseDialog(Prompter& prompter, QWidget* owner)
    : QDialog(owner),
      prompter_(prompter),
      passphraseEdit_(PassphraseEdit(this, "passphraseEdit", kPassphraseId, kPassphraseRect)),
      confirmEdit_(PassphraseEdit(this, "confirmEdit", kConfirmId, kConfirmRect)),
      ok_(ControlIds::Place(new QPushButton(QStringLiteral("OK"), this), "okButton", kOkId, kOkRect)),
      cancel_(ControlIds::Place(new QPushButton(QStringLiteral("Cancel"), this), "cancelButton", kCancelId,
                                kCancelRect)) {
  setObjectName("newPassphraseDialog");
  setWindowTitle(QStringLiteral("Enter Passphrase"));
  setFixedSize(kWidth, kHeight);
  ControlIds::Place(new QLabel(QStringLiteral("Choose a passphrase for the new database."), this),
                    "chooseLabel", -1, kLabelRect);
  ControlIds::Place(new QLabel(QStringLiteral("Passphrase:"), this), "passphraseLabel", -1,
                    kPassphraseLabelRect);
  ControlIds::Place(new QLabel(QStringLiteral("Confirm:"), this), "confirmLabel", -1, kConfirmLabelRect);
  ok_->setDefault(true);
  cancel_->setAutoDefault(false);
  passphraseEdit_->setFocus();

  connect(passphraseEdit_, &QLineEdit::textChanged, this, &NewPassphraseDialog::UpdateOkButton);
  connect(confirmEdit_, &QLineEdit::textChanged, this, &NewPassphraseDialog::UpdateOkButton);
  connect(ok_, &QPushButton::clicked, this, &NewPassphraseDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  UpdateOkButton();
}

NewPassphraseDialog::~NewPassphraseDialog() {
  SecretText::WipeEdit(*passphraseEdit_);
  SecretText::WipeEdit(*confirmEdit_);
}

void NewPassphraseDialog::UpdateOkButton() {
  // Equal texts are equal bytes once stored, so comparing the texts is
  // comparing the bytes; the bytes themselves are taken at OK.
  ok_->setEnabled(passphraseEdit_->text() == confirmEdit_->text());
}

void NewPassphraseDialog::accept() {
  if (!ok_->isEnabled()) return;
  QString refusal;
  SecureString accepted;
  if (!SecretText::Read(*passphraseEdit_, accepted, refusal, kMaxChars)) {
    prompter_.Message(this, windowTitle(), refusal, Prompter::Buttons::Ok);
    return;
  }
  passphrase_ = std::move(accepted);
  QDialog::accept();
}

void NewPassphraseDialog::done(int result) {
  SecretText::WipeEdit(*passphraseEdit_);
  SecretText::WipeEdit(*confirmEdit_);
  QDialog::done(result);
}

}  // namespace lockwell

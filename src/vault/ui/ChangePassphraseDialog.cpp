#include "vault/ui/ChangePassphraseDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/ui/ControlIds.h"
#include "platform/ui/Prompter.h"
#include "vault/ui/SecretText.h"

namespace lockwell {
namespace {

// 212 x 86 dialog units, widened so that the labels fit this platform's font.
constexpr int kWidth = 348;
constexpr int kHeight = 140;
constexpr int kLabelX = 11;
constexpr int kLabelWidth = 142;
constexpr int kEditX = 156;
constexpr int kEditWidth = 181;
constexpr int kRowTop[] = {10, 40, 70};
constexpr int kRowHeight = 22;
constexpr QRect kOkRect(169, 106, 80, 24);
constexpr QRect kCancelRect(257, 106, 80, 24);

QLineEdit* PassphraseRow(QWidget* parent, int row, const char* caption, const char* name, int id) {
  auto* label = new QLabel(QString::fromLatin1(caption), parent);
  label->setGeometry(kLabelX, kRowTop[row], kLabelWidth, kRowHeight);
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  ControlIds::Set(edit, id);
  edit->setGeometry(kEditX, kRowTop[row], kEditWidth, kRowHeight);
  edit->setEchoMode(QLineEdit::Password);
  edit->setMaxLength(ChangePassphraseDialog::kMaxPassphrase);
  label->setBuddy(edit);
  return edit;
}

QPushButton* Button(QWidget* parent, const char* text, const char* name, int id, const QRect& rect) {
  auto* button = new QPushButton(QString::fromLatin1(text), parent);
  button->setObjectName(name);
  ControlIds::Set(button, id);
  button->setGeometry(rect);
  return button;
}

}  // namespace

bool ChangePassphraseDialog::Ask(Prompter& prompter, QWidget* owner, SecureString& current,
                                 SecureString& newPassphrase) {
  ChangePassphraseDialog dialog(prompter, owner);
  if (prompter.RunDialog(dialog) != QDialog::Accepted) return false;
  dialog.TakePassphrases(current, newPassphrase);
  return true;
}

ChangePassphraseDialog::ChangePassphraseDialog(Prompter& prompter, QWidget* owner)
    : QDialog(owner),
      prompter_(prompter),
      currentEdit_(PassphraseRow(this, 0, "Current Passphrase:", "currentPassphraseEdit", kCurrentId)),
      newEdit_(PassphraseRow(this, 1, "New Passphrase:", "newPassphraseEdit", kNewId)),
      confirmEdit_(PassphraseRow(this, 2, "Confirm Passphrase:", "confirmPassphraseEdit", kConfirmId)),
      ok_(Button(this, "OK", "okButton", kOkId, kOkRect)),
      cancel_(Button(this, "Cancel", "cancelButton", kCancelId, kCancelRect)) {
  setObjectName("changePassphraseDialog");
  setWindowTitle(QString::fromLatin1(kCaption));
  setFixedSize(kWidth, kHeight);
  ok_->setDefault(true);
  cancel_->setAutoDefault(false);
  currentEdit_->setFocus();

  for (QLineEdit* edit : {currentEdit_, newEdit_, confirmEdit_}) {
    connect(edit, &QLineEdit::textChanged, this, &ChangePassphraseDialog::OnEdited);
  }
  connect(ok_, &QPushButton::clicked, this, &ChangePassphraseDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  OnEdited();
}

ChangePassphraseDialog::~ChangePassphraseDialog() {
  for (QLineEdit* edit : {currentEdit_, newEdit_, confirmEdit_}) SecretText::WipeEdit(*edit);
}

void ChangePassphraseDialog::TakePassphrases(SecureString& current, SecureString& newPassphrase) {
  current.wipe();
  newPassphrase.wipe();
  current.swap(current_);
  newPassphrase.swap(new_);
  WipeState();
}

void ChangePassphraseDialog::OnEdited() {
  QString refusal;
  const bool newRead = SecretText::Read(*newEdit_, new_, refusal, kMaxPassphrase);
  const bool confirmRead = SecretText::Read(*confirmEdit_, confirm_, refusal, kMaxPassphrase);
  SecretText::Read(*currentEdit_, current_, refusal, kMaxPassphrase);
  // Windows-1252 gives each character its own byte, so when a field holds
  // a character without one the texts themselves decide; OK then says why
  // it cannot go ahead.
  const bool equal = newRead && confirmRead ? new_ == confirm_ : newEdit_->text() == confirmEdit_->text();
  ok_->setEnabled(equal);
}

void ChangePassphraseDialog::accept() {
  // A button that was enabled a moment ago may be clicked by a script or an
  // accelerator after the fields changed: check once more.
  QString refusal;
  const QLineEdit* fields[] = {currentEdit_, newEdit_, confirmEdit_};
  SecureString* states[] = {&current_, &new_, &confirm_};
  for (int i = 0; i < 3; ++i) {
    if (!SecretText::Read(*fields[i], *states[i], refusal, kMaxPassphrase)) {
      prompter_.Message(this, QString::fromLatin1(kCaption), refusal, Prompter::Buttons::Ok);
      return;
    }
  }
  if (new_ != confirm_) return;
  QDialog::accept();
}

void ChangePassphraseDialog::done(int result) {
  for (QLineEdit* edit : {currentEdit_, newEdit_, confirmEdit_}) SecretText::WipeEdit(*edit);
  if (result != QDialog::Accepted) WipeState();
  confirm_.wipe();
  QDialog::done(result);
}

void ChangePassphraseDialog::WipeState() {
  current_.wipe();
  new_.wipe();
  confirm_.wipe();
}

}  // namespace lockwell

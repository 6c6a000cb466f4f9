#include "vault/ui/ChangePassphraseDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/ui/ControlIds.h"
#include "platform/ui/Prompter.h"
#include "platform/ui/SecretText.h"

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
  auto* edit =
      ControlIds::Place(new QLineEdit(parent), name, id, QRect(kEditX, kRowTop[row], kEditWidth, kRowHeight));
  edit->setEchoMode(QLineEdit::Password);
  edit->setMaxLength(ChangePassphraseDialog::kMaxPassphrase);
  label->setBuddy(edit);
  return edit;
}

QPushButton* Button(QWidget* parent, const char* text, const char* name, int id, const QRect& rect) {
  return ControlIds::Place(new QPushButton(QString::fromLatin1(text), parent), name, id, rect);
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
  // Windows-1252 gives each character its own byte, so equal texts are
  // equal passphrases once stored; the bytes themselves are taken at OK.
  ok_->setEnabled(newEdit_->text() == confirmEdit_->text());
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

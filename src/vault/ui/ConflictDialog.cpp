#include "vault/ui/ConflictDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/ui/ControlIds.h"
#include "platform/ui/Prompter.h"
#include "platform/ui/SecretText.h"

namespace lockwell {
namespace {

// 237 x 191 dialog units.
constexpr int kWidth = 356;
constexpr int kHeight = 310;
constexpr QRect kExplanationRect(11, 8, 334, 68);
constexpr QRect kAdviceRect(11, 80, 334, 36);
constexpr QRect kPromptRect(11, 122, 334, 34);
constexpr QRect kPassphraseRect(11, 160, 220, 22);
constexpr QRect kDeleteHintRect(11, 192, 334, 72);
constexpr QRect kDeleteRect(11, 274, 90, 24);
constexpr QRect kOkRect(255, 274, 90, 24);

QLabel* Text(QWidget* parent, const char* name, const char* text, const QRect& rect) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  label->setObjectName(name);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setGeometry(rect);
  return label;
}

}  // namespace

ConflictDialog::Choice ConflictDialog::Ask(Prompter& prompter, QWidget* owner, SecureString& oldPassphrase) {
  ConflictDialog dialog(prompter, owner);
  const int result = prompter.RunDialog(dialog);
  if (dialog.DeleteChosen()) return Choice::kDelete;
  if (result != QDialog::Accepted) return Choice::kCancel;
  dialog.TakeOldPassphrase(oldPassphrase);
  return Choice::kRetry;
}

ConflictDialog::ConflictDialog(Prompter& prompter, QWidget* owner)
    : QDialog(owner),
      prompter_(prompter),
      passphrase_(
          ControlIds::Place(new QLineEdit(this), "oldPassphraseEdit", kOldPassphraseId, kPassphraseRect)),
      delete_(ControlIds::Place(new QPushButton(QStringLiteral("Delete..."), this), "deleteButton", kDeleteId,
                                kDeleteRect)),
      ok_(ControlIds::Place(new QPushButton(QStringLiteral("OK"), this), "okButton", kOkId, kOkRect)) {
  setObjectName("conflictDialog");
  setWindowTitle(QString::fromLatin1(kCaption));
  // A caption without a close box.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFixedSize(kWidth, kHeight);
  Text(this, "explanationText", kExplanation, kExplanationRect);
  Text(this, "adviceText", kAdvice, kAdviceRect);
  Text(this, "promptText", kPrompt, kPromptRect);
  Text(this, "deleteHintText", kDeleteHint, kDeleteHintRect);

  passphrase_->setEchoMode(QLineEdit::Password);
  passphrase_->setMaxLength(kMaxPassphrase);
  ok_->setDefault(true);
  delete_->setAutoDefault(false);
  passphrase_->setFocus();

  connect(passphrase_, &QLineEdit::textChanged, this, &ConflictDialog::OnPassphraseEdited);
  connect(ok_, &QPushButton::clicked, this, &ConflictDialog::accept);
  connect(delete_, &QPushButton::clicked, this, &ConflictDialog::OnDelete);
}

ConflictDialog::~ConflictDialog() { SecretText::WipeEdit(*passphrase_); }

void ConflictDialog::TakeOldPassphrase(SecureString& out) {
  out.wipe();
  out.swap(oldPassphrase_);
  oldPassphrase_.wipe();
}

void ConflictDialog::OnPassphraseEdited() {
  QString refusal;
  // A character the database cannot hold leaves the copy empty; OK says so.
  SecretText::Read(*passphrase_, oldPassphrase_, refusal, kMaxPassphrase);
}

void ConflictDialog::accept() {
  QString refusal;
  if (!SecretText::Read(*passphrase_, oldPassphrase_, refusal, kMaxPassphrase)) {
    // No stored passphrase can hold that character: retrying with it could
    // never succeed, so the user is told and the dialog stays.
    prompter_.Message(this, QString::fromLatin1(kCaption), refusal, Prompter::Buttons::Ok);
    return;
  }
  QDialog::accept();
}

void ConflictDialog::done(int result) {
  SecretText::WipeEdit(*passphrase_);
  QDialog::done(result);
}

void ConflictDialog::OnDelete() {
  const auto answer = prompter_.Message(this, QString::fromLatin1(kConfirmCaption),
                                        QString::fromLatin1(kConfirmText), Prompter::Buttons::YesNo);
  if (answer != Prompter::Answer::Yes) return;
  deleteChosen_ = true;
  oldPassphrase_.wipe();
  // Closes the same way OK does.
  QDialog::accept();
}

}  // namespace lockwell

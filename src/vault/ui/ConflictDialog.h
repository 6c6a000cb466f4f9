// The conflict dialog: asks for the passphrase used before a passphrase
// change on the handheld, for a record that the current passphrase (and the
// old one known so far) cannot read, or lets the user delete that record.
//
// Usage, from the pass that brings records up to the current passphrase:
//   SecureString old;                       // the caller's candidate
//   switch (ConflictDialog::Ask(prompter, window, old)) {
//     case ConflictDialog::Choice::kRetry:  // `old` holds the typed text
//     case ConflictDialog::Choice::kDelete: // already confirmed by the user
//     case ConflictDialog::Choice::kCancel: // Escape: the user gave up
//   }
//
// OK retries with the typed passphrase (an empty one stands for the default
// key).  "Delete..." asks "Are you sure?" first; No keeps the dialog open
// with the typed text.  The caption has no close box; Escape rejects the
// dialog, which Ask reports as kCancel so that the caller can stop the pass
// instead of asking for the same record again.
#pragma once

#include <QDialog>
#include <QString>

#include "storage/SecureString.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace lockwell {

class Prompter;

class ConflictDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kOldPassphraseId = 1041;
  static constexpr int kDeleteId = 1005;
  static constexpr int kOkId = 1;
  static constexpr int kMaxPassphrase = 255;

  static constexpr const char* kCaption = "Lockwell Conflict";
  static constexpr const char* kExplanation =
      "Recently, you changed your passphrase on your Palm without performing a HotSync operation "
      "immediately before and after doing so.  This caused some conflicts in the database.  In order "
      "to resolve these conflicts, Lockwell needs to know your OLD passphrase.";
  static constexpr const char* kAdvice =
      "In the future, you can avoid these conflicts by performing a HotSync operation immediately "
      "BEFORE and AFTER changing your passphrase on your Palm.";
  static constexpr const char* kPrompt =
      "Please enter your OLD passphrase.  This is the passphrase you were using BEFORE you changed it.";
  static constexpr const char* kDeleteHint =
      "If you do not remember your old passphrase, then you can remove the records that are causing "
      "the conflict.  THIS WILL PERMANENTLY DELETE THE RECORDS IN QUESTION, SO ONLY DO THIS AS A LAST "
      "RESORT!  Press the Delete button to delete these records.";
  static constexpr const char* kConfirmCaption = "Are you sure?";
  static constexpr const char* kConfirmText =
      "Are you absolutely sure that you wish to delete these records?  THIS IS AN IRREVERSIBLE ACTION "
      "THAT WILL PERMANENTLY DELETE THE AFFECTED RECORD!";

  enum class Choice { kRetry, kDelete, kCancel };

  // Runs the dialog through `prompter`, owned by `owner`.  On kRetry the
  // typed passphrase replaces `oldPassphrase`; otherwise `oldPassphrase` is
  // left as it was.
  static Choice Ask(Prompter& prompter, QWidget* owner, SecureString& oldPassphrase);

  ConflictDialog(Prompter& prompter, QWidget* owner);
  ~ConflictDialog() override;

  // Whether the user chose Delete and confirmed it.
  bool DeleteChosen() const { return deleteChosen_; }
  // Hands the typed passphrase over (the dialog's copy is wiped).
  void TakeOldPassphrase(SecureString& out);

  void accept() override;
  void done(int result) override;

 private:
  void OnPassphraseEdited();
  void OnDelete();

  Prompter& prompter_;
  SecureString oldPassphrase_;
  bool deleteChosen_ = false;
  QLineEdit* passphrase_;
  QPushButton* delete_;
  QPushButton* ok_;
};

}  // namespace lockwell

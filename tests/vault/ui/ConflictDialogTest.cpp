#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "platform/ui/ControlIds.h"
#include "platform/ui/ScriptedPrompter.h"
#include "vault/ui/ConflictDialog.h"

namespace lockwell {
namespace {

using Choice = ConflictDialog::Choice;
using Answer = Prompter::Answer;

QLineEdit* PassphraseEdit(QDialog& dialog) {
  return ControlIds::Find<QLineEdit>(&dialog, ConflictDialog::kOldPassphraseId);
}
QPushButton* Button(QDialog& dialog, int id) { return ControlIds::Find<QPushButton>(&dialog, id); }

TEST(ConflictDialogTest, ShowsItsTextsAndControls) {
  ScriptedPrompter prompter;
  ConflictDialog dialog(prompter, nullptr);
  EXPECT_EQ(dialog.windowTitle(), "Lockwell Conflict");
  EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);

  QStringList texts;
  for (QLabel* label : dialog.findChildren<QLabel*>()) texts << label->text();
  for (const char* text : {ConflictDialog::kExplanation, ConflictDialog::kAdvice, ConflictDialog::kPrompt,
                           ConflictDialog::kDeleteHint}) {
    EXPECT_TRUE(texts.contains(QString::fromLatin1(text))) << text;
  }
  EXPECT_TRUE(texts.contains(
      "Please enter your OLD passphrase.  This is the passphrase you were using BEFORE you changed it."));

  QLineEdit* edit = PassphraseEdit(dialog);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
  EXPECT_EQ(edit->maxLength(), 255);
  ASSERT_NE(Button(dialog, ConflictDialog::kDeleteId), nullptr);
  EXPECT_EQ(Button(dialog, ConflictDialog::kDeleteId)->text(), "Delete...");
  ASSERT_NE(Button(dialog, ConflictDialog::kOkId), nullptr);
  EXPECT_TRUE(Button(dialog, ConflictDialog::kOkId)->isDefault());
}

// What the user does in the dialog, and what the caller gets back.
TEST(ConflictDialogTest, AnswersRetryDeleteOrCancel) {
  struct Case {
    const char* name;
    std::function<void(QDialog&)> user;
    std::vector<Answer> confirmations;  // answers to "Are you sure?"
    Choice choice;
    std::string passphrase;  // what the caller's candidate holds afterwards
  } cases[] = {
      {"typed and OK",
       [](QDialog& d) {
         QTest::keyClicks(PassphraseEdit(d), "old secret");
         Button(d, ConflictDialog::kOkId)->click();
       },
       {}, Choice::kRetry, "old secret"},
      {"Enter in the field is OK",
       [](QDialog& d) {
         QTest::keyClicks(PassphraseEdit(d), "pw");
         QTest::keyClick(PassphraseEdit(d), Qt::Key_Return);
       },
       {}, Choice::kRetry, "pw"},
      // An empty passphrase retries with the default key: the candidate
      // must become empty, not keep the earlier one.
      {"empty OK", [](QDialog& d) { Button(d, ConflictDialog::kOkId)->click(); }, {}, Choice::kRetry, ""},
      {"Windows-1252 bytes",
       [](QDialog& d) {
         PassphraseEdit(d)->setText(QString::fromUtf8("caf\u00e9\u20ac"));
         Button(d, ConflictDialog::kOkId)->click();
       },
       {}, Choice::kRetry, "caf\xE9\x80"},
      {"delete confirmed",
       [](QDialog& d) {
         QTest::keyClicks(PassphraseEdit(d), "typed");
         Button(d, ConflictDialog::kDeleteId)->click();
       },
       {Answer::Yes}, Choice::kDelete, "earlier"},
      {"delete refused keeps the typed text",
       [](QDialog& d) {
         QTest::keyClicks(PassphraseEdit(d), "typed");
         Button(d, ConflictDialog::kDeleteId)->click();
         EXPECT_TRUE(d.isVisible());
         EXPECT_EQ(PassphraseEdit(d)->text(), "typed");
         Button(d, ConflictDialog::kOkId)->click();
       },
       {Answer::No}, Choice::kRetry, "typed"},
      {"escape gives up",
       [](QDialog& d) {
         QTest::keyClicks(PassphraseEdit(d), "typed");
         QTest::keyClick(&d, Qt::Key_Escape);
       },
       {}, Choice::kCancel, "earlier"},
  };
  for (const auto& c : cases) {
    ScriptedPrompter prompter;
    prompter.QueueDialog(c.user);
    for (Answer a : c.confirmations) prompter.QueueAnswer(a);
    SecureString candidate("earlier");
    EXPECT_EQ(ConflictDialog::Ask(prompter, nullptr, candidate), c.choice) << c.name;
    EXPECT_EQ(candidate.view(), c.passphrase) << c.name;
    EXPECT_TRUE(prompter.Problems().isEmpty()) << c.name << ": " << prompter.Problems().join("; ").toStdString();
    EXPECT_EQ(prompter.Unused(), 0u) << c.name;
    size_t asked = 0;
    for (const auto& r : prompter.Requests()) {
      if (r.isDialog) continue;
      ++asked;
      EXPECT_EQ(r.caption, "Are you sure?") << c.name;
      EXPECT_EQ(r.text, ConflictDialog::kConfirmText) << c.name;
      EXPECT_EQ(r.buttons, Prompter::Buttons::YesNo) << c.name;
    }
    EXPECT_EQ(asked, c.confirmations.size()) << c.name;
  }
}

TEST(ConflictDialogTest, RefusesACharacterNoPassphraseCanHold) {
  ScriptedPrompter prompter;
  prompter.QueueDialog([](QDialog& d) {
    PassphraseEdit(d)->setText(QString::fromUtf8("\u03a9mega"));
    Button(d, ConflictDialog::kOkId)->click();
    EXPECT_TRUE(d.isVisible());
    PassphraseEdit(d)->setText("Omega");
    Button(d, ConflictDialog::kOkId)->click();
  });
  prompter.QueueAnswer(Answer::Ok);
  SecureString candidate;
  EXPECT_EQ(ConflictDialog::Ask(prompter, nullptr, candidate), Choice::kRetry);
  EXPECT_EQ(candidate.view(), "Omega");
  ASSERT_EQ(prompter.Requests().size(), 2u);
  EXPECT_EQ(prompter.Requests()[1].caption, "Lockwell Conflict");
  EXPECT_TRUE(prompter.Requests()[1].text.startsWith("The character \"\u03a9\" (U+03A9) cannot be stored."));
}

TEST(ConflictDialogTest, ClosingEmptiesTheFieldButKeepsTheAnswer) {
  ScriptedPrompter prompter;
  ConflictDialog dialog(prompter, nullptr);
  prompter.QueueDialog([](QDialog& d) {
    QTest::keyClicks(PassphraseEdit(d), "old");
    Button(d, ConflictDialog::kOkId)->click();
  });
  ASSERT_EQ(prompter.RunDialog(dialog), QDialog::Accepted);
  EXPECT_TRUE(PassphraseEdit(dialog)->text().isEmpty());
  EXPECT_FALSE(dialog.DeleteChosen());
  SecureString taken("x");
  dialog.TakeOldPassphrase(taken);
  EXPECT_EQ(taken.view(), "old");
  dialog.TakeOldPassphrase(taken);  // handed over once; the dialog keeps no copy
  EXPECT_EQ(taken.view(), "");
}

}  // namespace
}  // namespace lockwell

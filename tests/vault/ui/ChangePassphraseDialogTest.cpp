#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "platform/ui/ControlIds.h"
#include "platform/ui/ScriptedPrompter.h"
#include "vault/ui/ChangePassphraseDialog.h"

namespace lockwell {
namespace {

using D = ChangePassphraseDialog;

QLineEdit* Edit(QDialog& dialog, int id) { return ControlIds::Find<QLineEdit>(&dialog, id); }
QPushButton* Ok(QDialog& dialog) { return ControlIds::Find<QPushButton>(&dialog, D::kOkId); }

TEST(ChangePassphraseDialogTest, HasItsCaptionFieldsAndButtons) {
  ScriptedPrompter prompter;
  D dialog(prompter, nullptr);
  EXPECT_EQ(dialog.windowTitle(), "Change Passphrase");
  QStringList captions;
  for (QLabel* label : dialog.findChildren<QLabel*>()) captions << label->text();
  EXPECT_EQ(captions, QStringList({"Current Passphrase:", "New Passphrase:", "Confirm Passphrase:"}));
  for (int id : {D::kCurrentId, D::kNewId, D::kConfirmId}) {
    ASSERT_NE(Edit(dialog, id), nullptr) << id;
    EXPECT_EQ(Edit(dialog, id)->echoMode(), QLineEdit::Password) << id;
    EXPECT_EQ(Edit(dialog, id)->maxLength(), 255) << id;
  }
  ASSERT_NE(ControlIds::Find<QPushButton>(&dialog, D::kCancelId), nullptr);
  EXPECT_EQ(ControlIds::Find<QPushButton>(&dialog, D::kCancelId)->text(), "Cancel");
}

// OK follows new == confirmation after every keystroke, whatever the
// current passphrase holds.
TEST(ChangePassphraseDialogTest, OkEnabledExactlyWhileNewAndConfirmationAreEqual) {
  struct Step {
    int id;
    const char* typed;  // appended to the field
    bool okEnabled;
  } steps[] = {
      {D::kCurrentId, "old", true},  // all empty but the current: equal
      {D::kNewId, "n", false},
      {D::kConfirmId, "N", false},  // case counts
      {D::kConfirmId, "\b\bn", true},
      {D::kNewId, "ew", false},
      {D::kConfirmId, "ew", true},
      {D::kConfirmId, "x", false},  // a longer confirmation
      {D::kConfirmId, "\b", true},
      {D::kCurrentId, "\b\b\b", true},
  };
  ScriptedPrompter prompter;
  D dialog(prompter, nullptr);
  dialog.show();
  EXPECT_TRUE(Ok(dialog)->isEnabled()) << "at start";
  for (const auto& step : steps) {
    QLineEdit* edit = Edit(dialog, step.id);
    for (const char* c = step.typed; *c != 0; ++c) {
      if (*c == '\b') {
        QTest::keyClick(edit, Qt::Key_Backspace);
      } else {
        QTest::keyClicks(edit, QString(QChar(*c)));
      }
    }
    EXPECT_EQ(Ok(dialog)->isEnabled(), step.okEnabled) << step.id << " after \"" << step.typed << "\"";
  }
}

TEST(ChangePassphraseDialogTest, HandsOverBothPassphrasesOnOkOnly) {
  struct Case {
    const char* name;
    QString current, fresh, confirm;
    bool ok;                       // OK rather than Cancel
    bool accepted;
    std::string outCurrent, outNew;
  } cases[] = {
      {"change", "old", "new pass", "new pass", true, true, "old", "new pass"},
      {"remove the passphrase", "old", "", "", true, true, "old", ""},
      {"Windows-1252 bytes", QString::fromUtf8("\u00e9t\u00e9"), QString::fromUtf8("\u20ac1"),
       QString::fromUtf8("\u20ac1"), true, true, "\xE9t\xE9", "\x80" "1"},
      {"cancel", "old", "new", "new", false, false, "before", "before"},
  };
  for (const auto& c : cases) {
    ScriptedPrompter prompter;
    prompter.QueueDialog([&c](QDialog& d) {
      Edit(d, D::kCurrentId)->setText(c.current);
      Edit(d, D::kNewId)->setText(c.fresh);
      Edit(d, D::kConfirmId)->setText(c.confirm);
      if (c.ok) {
        Ok(d)->click();
      } else {
        ControlIds::Find<QPushButton>(&d, D::kCancelId)->click();
      }
    });
    SecureString current("before"), fresh("before");
    EXPECT_EQ(D::Ask(prompter, nullptr, current, fresh), c.accepted) << c.name;
    EXPECT_EQ(current.view(), c.outCurrent) << c.name;
    EXPECT_EQ(fresh.view(), c.outNew) << c.name;
    EXPECT_TRUE(prompter.Problems().isEmpty()) << c.name;
  }
}

TEST(ChangePassphraseDialogTest, RefusesACharacterNoPassphraseCanHold) {
  ScriptedPrompter prompter;
  D dialog(prompter, nullptr);
  prompter.QueueDialog([](QDialog& d) {
    Edit(d, D::kNewId)->setText(QString::fromUtf8("\u4e2d"));
    Edit(d, D::kConfirmId)->setText(QString::fromUtf8("\u4e2d"));
    EXPECT_TRUE(Ok(d)->isEnabled());  // equal texts; OK explains
    Ok(d)->click();
    EXPECT_TRUE(d.isVisible());
    Edit(d, D::kNewId)->setText("zh");
    Edit(d, D::kConfirmId)->setText("zh");
    Ok(d)->click();
  });
  prompter.QueueAnswer(Prompter::Answer::Ok);
  ASSERT_EQ(prompter.RunDialog(dialog), QDialog::Accepted);
  ASSERT_EQ(prompter.Requests().size(), 2u);
  EXPECT_EQ(prompter.Requests()[1].caption, "Change Passphrase");
  EXPECT_TRUE(prompter.Requests()[1].text.startsWith("The character"));
  // The fields are emptied once the dialog is done; the answer is kept.
  for (int id : {D::kCurrentId, D::kNewId, D::kConfirmId}) EXPECT_TRUE(Edit(dialog, id)->text().isEmpty()) << id;
  SecureString current("x"), fresh;
  dialog.TakePassphrases(current, fresh);
  EXPECT_EQ(current.view(), "");
  EXPECT_EQ(fresh.view(), "zh");
}

}  // namespace
}  // namespace lockwell

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "platform/ui/ControlIds.h"
#include "platform/ui/ScriptedPrompter.h"
#include "hotsync/ui/QuestionDialog.h"

namespace lockwell {
namespace {

class QuestionDialogTest : public testing::Test {
 protected:
  QuestionDialogTest() : dialog_(nullptr) { dialog_.SetPrompt("Enter the new category's name:"); }

  QLineEdit* Field() { return ControlIds::Find<QLineEdit>(&dialog_, QuestionDialog::kAnswerId); }
  QPushButton* Ok() { return ControlIds::Find<QPushButton>(&dialog_, QuestionDialog::kOkId); }
  QPushButton* Cancel() { return ControlIds::Find<QPushButton>(&dialog_, QuestionDialog::kCancelId); }

  QuestionDialog dialog_;
  ScriptedPrompter prompter_;
};

TEST_F(QuestionDialogTest, ShowsItsTitlePromptAndControls) {
  EXPECT_EQ(dialog_.windowTitle(), "Lockwell/PC");
  auto* prompt = ControlIds::Find<QLabel>(&dialog_, QuestionDialog::kPromptId);
  ASSERT_NE(prompt, nullptr);
  EXPECT_EQ(prompt->text(), "Enter the new category's name:");
  ASSERT_NE(Field(), nullptr);
  ASSERT_NE(Ok(), nullptr);
  ASSERT_NE(Cancel(), nullptr);
  EXPECT_TRUE(Ok()->isDefault());
  EXPECT_EQ(Cancel()->text(), "Cancel");
}

TEST_F(QuestionDialogTest, OkIsEnabledExactlyWhileTheAnswerIsNotEmpty) {
  prompter_.QueueDialog([&](QDialog&) {
    EXPECT_FALSE(Ok()->isEnabled()) << "no initial answer";
    QTest::keyClicks(Field(), "W");
    EXPECT_TRUE(Ok()->isEnabled()) << "after typing a character";
    QTest::keyClick(Field(), Qt::Key_Backspace);
    EXPECT_FALSE(Ok()->isEnabled()) << "after deleting all text";
    QTest::keyClick(Field(), Qt::Key_Return);
    EXPECT_TRUE(dialog_.isVisible()) << "Enter does not end it while OK is disabled";
    QTest::keyClicks(Field(), "Web sites");
    QTest::keyClick(Field(), Qt::Key_Return);
  });
  EXPECT_EQ(prompter_.RunDialog(dialog_), QDialog::Accepted);
  EXPECT_EQ(dialog_.GetAnswer(), "Web sites");
  EXPECT_TRUE(prompter_.Problems().isEmpty()) << prompter_.Problems().join("; ").toStdString();
}

TEST_F(QuestionDialogTest, InitialAnswerEnablesOkAtOnceAndCanBeEdited) {
  dialog_.SetAnswer("Banking");
  prompter_.QueueDialog([&](QDialog&) {
    EXPECT_TRUE(Ok()->isEnabled());
    EXPECT_EQ(Field()->text(), "Banking");
    Field()->selectAll();
    QTest::keyClicks(Field(), "Bank accounts");
    QTest::mouseClick(Ok(), Qt::LeftButton);
  });
  EXPECT_EQ(prompter_.RunDialog(dialog_), QDialog::Accepted);
  EXPECT_EQ(dialog_.GetAnswer(), "Bank accounts");
}

TEST_F(QuestionDialogTest, ClearingAnInitialAnswerDisablesOk) {
  dialog_.SetAnswer("Banking");
  dialog_.SetAnswer("");
  EXPECT_FALSE(Ok()->isEnabled());
  dialog_.SetAnswer("Travel");
  EXPECT_TRUE(Ok()->isEnabled());
  EXPECT_EQ(dialog_.GetAnswer(), "Travel");
}

TEST_F(QuestionDialogTest, CancelAndEscapeEndWithCancel) {
  prompter_.QueueDialog([&](QDialog&) {
    QTest::keyClicks(Field(), "Games");
    QTest::mouseClick(Cancel(), Qt::LeftButton);
  });
  prompter_.QueueDialog([&](QDialog&) { QTest::keyClick(Field(), Qt::Key_Escape); });
  EXPECT_EQ(prompter_.RunDialog(dialog_), QDialog::Rejected);
  EXPECT_EQ(prompter_.RunDialog(dialog_), QDialog::Rejected);
  EXPECT_TRUE(prompter_.Problems().isEmpty()) << prompter_.Problems().join("; ").toStdString();
}

}  // namespace
}  // namespace lockwell
